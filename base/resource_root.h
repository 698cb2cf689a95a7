// The content tree the game reads, relative to its working directory; every
// resource path starts with it.
#pragma once

#define ORVELUNE_RESOURCE_ROOT "Resource_Orvelune/"
