// A core file reaching for Qt: the layer check must refuse it.
#include <string>
#include <QString>
