#pragma once
// Everything of the dialog framework.
#include "host/ed/ResourceHandle.h"
#include "host/ui/CDialog.h"
#include "host/ui/CWnd.h"
#include "host/ui/Controls.h"
#include "host/ui/DialogTemplate.h"
#include "host/ui/WinUser.h"
