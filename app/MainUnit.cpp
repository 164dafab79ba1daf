#include "MainUnit.h"
