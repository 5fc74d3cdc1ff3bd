// An adapter that reaches into the run: it may carry the core's types, never the engine.
#include "engine/run.h"
