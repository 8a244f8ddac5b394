#include "host/ed/ResourceHandle.h"

namespace {
HINSTANCE g_resource = nullptr;
}

HINSTANCE AfxGetResourceHandle() { return g_resource; }
void AfxSetResourceHandle(HINSTANCE h) { g_resource = h; }
HINSTANCE AfxGetInstanceHandle() { return g_resource; }
