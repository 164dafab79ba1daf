#include "BrowserVersion.h"
