// Portable code that includes a Windows header: the layer check must refuse it.
#include <Windows.h>
