#pragma once
// Everything of the editor.
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEdCommandStack.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/AcEdJig.h"
#include "host/ed/AcEdSelection.h"
#include "host/ed/AdsTypes.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/InputQueue.h"
#include "host/ed/ResourceHandle.h"
#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
