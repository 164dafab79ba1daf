#include "StatusBar.h"
