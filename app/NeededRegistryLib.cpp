#include "NeededRegistryLib.h"
