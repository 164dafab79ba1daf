#include "SettingsTable.h"
