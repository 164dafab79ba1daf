#include "EventLogFormat.h"
