// Modelling search timings, each case also against the previous
// implementation ("/reference"); bench/ratios.py prints the ratios.
#include "engine_search_cases.h"

#include "BenchMain.h"
