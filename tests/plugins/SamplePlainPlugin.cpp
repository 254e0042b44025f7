#include "SamplePlainPlugin.h"
