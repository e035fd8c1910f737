#include "ServiceEditors.h"
