#pragma once
// The skinned windows and controls in one include.

#include "ZuBorderHitTest.h"
#include "ZuButton.h"
#include "ZuCustomControl.h"
#include "ZuForm.h"
#include "ZuFormSnap.h"
#include "ZuGraphicControl.h"
#include "ZuLinkLabel.h"
#include "ZuListControl.h"
#include "ZuSlider.h"
#include "ZuTabControl.h"
#include "ZuWindow.h"
