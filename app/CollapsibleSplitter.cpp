#include "CollapsibleSplitter.h"
