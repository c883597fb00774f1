// A core file reaching for a window: the layer check must refuse it.
#include "core/text/SjisCodec.h"
#include "gui/main/MainWindow.h"
