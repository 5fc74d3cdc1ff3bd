// An include beside the file, within its own folder, is fine; one that climbs out of the tree is not.
#include "uses_windows.cpp"
#include "../../outside.h"
