#pragma once
// The card base drawing lives with the renderer, which draws a side's base on any
// thread from explicit settings: canvas/RenderCardBase.h. The main window includes it
// through this header.

#include "canvas/RenderCardBase.h"
