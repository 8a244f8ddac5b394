#pragma once
// Resource handles: which plug-in's dialog templates are looked up first.
//
// A plug-in's handle is the application id its entry point receives (its dynamic-linker
// handle), converted with vked::ResourceHandleOf(appId); code that has no app id may use any
// unique token (the address of a static object). Templates are registered under a handle with
// vkui::RegisterDialogTemplate (host/ui/DialogTemplate.h), typically in kInitAppMsg.
// CDialog::Create/DoModal look a template up under AfxGetResourceHandle() first, then under
// every other handle that registered it (the framework's resource chain).
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

HINSTANCE AfxGetResourceHandle();           // the handle currently in force; null = the host's
void AfxSetResourceHandle(HINSTANCE h);
HINSTANCE AfxGetInstanceHandle();           // same as AfxGetResourceHandle here

namespace vked {
inline HINSTANCE ResourceHandleOf(void* appId) { return static_cast<HINSTANCE>(appId); }
}  // namespace vked
