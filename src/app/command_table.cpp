#include "app/command_table.h"
