// The program icon: a 32x32, 16-colour Windows .ico with a transparency mask.
#pragma once

#include "bmp.h"

Bytes buildIcon();
