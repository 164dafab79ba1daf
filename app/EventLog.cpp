#include "EventLog.h"
