#pragma once
// transitional: shell/run (the action list lives in shell/ui)
#include "shell/ui/action_list.h"
