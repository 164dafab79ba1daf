#include "ProgramValues.h"
