#include "render/shared_content.h"

namespace {

SharedContent g_shared;

}  // namespace

SharedContent& Shared() {
  return g_shared;
}
