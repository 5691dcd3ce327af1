# SPDX-License-Identifier: GPL-3.0-or-later
# Writes one form of the extension's script: cmake -DFORM=legacy|module -DSOURCE_DIR=<shell/gnome>
# -DINTERFACE=<interface XML> -DOUTPUT=<extension.js> -P assemble.cmake
# The header and tail give the form's imports; between them the interface, as a string constant,
# and indicator.js, copied unchanged, so both forms run the same logic.
file(READ ${INTERFACE} interface)
# The interface goes into a template literal: escape what would end or interpolate it early.
string(REPLACE "\\" "\\\\" interface "${interface}")
string(REPLACE "`" "\\`" interface "${interface}")
string(REPLACE "\${" "\\\${" interface "${interface}")
file(READ ${SOURCE_DIR}/${FORM}-head.js head)
file(READ ${SOURCE_DIR}/indicator.js logic)
file(READ ${SOURCE_DIR}/${FORM}-tail.js tail)
file(WRITE ${OUTPUT}.part "${head}\nconst vantoryInterfaceXml = `${interface}`;\n\n${logic}${tail}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
