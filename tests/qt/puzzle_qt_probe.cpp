// puzzle_qt_probe.cpp: compiled with puzzle's include paths only; it must fail to find Qt.
#include <QObject>

#include "puzzle/vorek.h"
