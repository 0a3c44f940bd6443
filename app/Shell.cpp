#include "app/Shell.h"

ShellState shell{};
