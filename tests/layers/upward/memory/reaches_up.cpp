// A lower folder that reaches up: the layer check must refuse it.
#include "engine/run.h"
