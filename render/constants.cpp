#include "render/constants.h"

#define R ORVELUNE_RESOURCE_ROOT

const char* const kAssetPaths[kAssetPathCount] = {
    R "Object/Wall/wall.x",
    R "Object/Wall/wall_break01.x", R "Object/Wall/wall_break02.x", R "Object/Wall/wall_break03.x",
    R "Object/Wall/wall_break04.x", R "Object/Wall/wall_break05.x", R "Object/Wall/wall_break06.x",
    R "Object/Wall/wall_break07.x", R "Object/Wall/wall_break08.x", R "Object/Wall/wall_break09.x",
    R "Object/Wall/wall_break10.x", R "Object/Wall/wall_break11.x", R "Object/Wall/wall_break12.x",
    R "Object/Wall/wall_break13.x", R "Object/Wall/wall_break14.x", R "Object/Wall/wall_break15.x",
    R "Object/Wall/wall_break16.x", R "Object/Wall/wall_break17.x", R "Object/Wall/wall_break18.x",
    R "Object/Wall/wall_break19.x", R "Object/Wall/wall_break20.x", R "Object/Wall/wall_break21.x",
    R "Object/Wall/wall_break22.x", R "Object/Wall/wall_break23.x", R "Object/Wall/wall_break24.x",
    R "Object/Wall/wall_break25.x", R "Object/Wall/wall_break26.x", R "Object/Wall/wall_break27.x",
    R "Object/Wall/wall_break28.x", R "Object/Wall/wall_break29.x", R "Object/Wall/wall_break30.x",
    R "Object/Wall/wall_break31.x", R "Object/Wall/wall_break32.x", R "Object/Wall/wall_break33.x",
    R "Object/Wall/wall_break34.x", R "Object/Wall/wall_break35.x", R "Object/Wall/wall_break36.x",
    R "Object/Box/mokume02_t.png",
    R "Object/Box/rock01_t.png",
    R "Texture/Fade/Fade.png",
    R "Texture/Gauge/UI.png",
    R "Texture/Shadow/shadow.png",
    R "Texture/Effect/stan2.png",
    R "Texture/Effect/rotationstan.png",
    R "Texture/Wave/amanokawa_01.png",
    R "Texture/Wave/amanokawa_02.png",
    R "Texture/UI/OrveluneChip.png",
    R "Texture/Map/player.png",
    R "Infomation/Button.png",
    R "Texture/UI/FieldFrame.png",
    R "Texture/UI/Pause.png",
    R "Object/Box/box.x",
    R "Character/Player/player.x",
    R "Object/Sky/spaceball.x",
    R "Object/Rota/rotatingbase_half.x",
    R "Object/Rota/rotatingbase.x",
    R "Object/Gate/gate01.x",
    R "Object/Gate/gate02.x",
    R "Object/Bridge/bridge_a.x",
    R "Object/Bridge/bridge_b.x",
    R "Object/Bridge/handrail_a.x",
    R "Object/Bridge/handrail_b.x",
    R "Object/InfoBoard/kanban.x",
    R "Object/Box/hoshi.x",
    R "Object/Wave/amanokawa_nami.x",
    R "Object/Item/Recovery/tanzakun.x",
};

const char* const kStagePaths[kStagePathCount] = {
    R "Field/stage_1.csv", R "Field/stage_2.csv", R "Field/stage_3.csv", R "Field/stage_4.csv",
    R "Field/TitleStage.csv"};

const char* const kScenePicturePaths[6] = {
    R "Event/hikobosi.png",        R "Event/orihime.png",    R "Event/tentei.png",
    R "Event/spaceball_01_t.png",  R "Event/Text_Flame.png", R "Event/button_texture.png"};

const char* const kEventPicturePaths[2] = {R "Event/Text_Flame.png",
                                           R "Event/button_texture.png"};

const char* const kTitlePicturePaths[2] = {R "Event/Title/TitleBack.png",
                                           R "Event/Title/TitleFade.png"};

#undef R
