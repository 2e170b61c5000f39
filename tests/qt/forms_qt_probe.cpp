// forms_qt_probe.cpp: compiled with forms' include paths only; it must fail to find Qt.
#include <QObject>

#include "forms/forms.h"
