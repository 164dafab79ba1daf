#include "HelpWindow.h"
