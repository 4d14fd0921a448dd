// A command that reaches into the show file layer: the layer check must refuse it.
#pragma once

#include "files/ShowRecord.h"
#include "model/Grid.h"
