#include "WindowGeometry.h"
