// Resource identifiers shared by the resource scripts and the code.
#pragma once

#include "ids_art.h"
#include "ids_main.h"
#include "ids_dialogs.h"
