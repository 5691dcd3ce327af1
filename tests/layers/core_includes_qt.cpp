// Must not compile: the core never sees Qt.
#include <QString>
