// The program's version, in this one place: the version resource shows it in
// the file's properties and `make release` names the package after it.
#pragma once

#define RENAMORA_VERSION_MAJOR 1
#define RENAMORA_VERSION_MINOR 0
#define RENAMORA_VERSION_PATCH 0
#define RENAMORA_VERSION_BUILD 0

// "1.0.0.0", from the four numbers above.
#define RENAMORA_VERSION_JOIN_(a, b, c, d) #a "." #b "." #c "." #d
#define RENAMORA_VERSION_JOIN(a, b, c, d) RENAMORA_VERSION_JOIN_(a, b, c, d)
#define RENAMORA_VERSION_TEXT                                                  \
  RENAMORA_VERSION_JOIN(RENAMORA_VERSION_MAJOR, RENAMORA_VERSION_MINOR,        \
                        RENAMORA_VERSION_PATCH, RENAMORA_VERSION_BUILD)
