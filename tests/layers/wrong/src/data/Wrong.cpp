// A data file that reaches up into the main window: the layer check must refuse it.
#include "app/PubUnit.h"
#include "customers/TFrmMain.h"
