#pragma once
// The program-wide project state. One instance, owned by the main window and handed by
// reference to whatever needs it; tests build their own.

#include <cstdint>
#include <memory>

#include "model/ItemCollection.h"

namespace prowl {

enum : int16_t {
    kProcessIdle = 0,
    kProcessNewScan = 1,
    kProcessRescan = 2,
    kProcessGroupRegister = 3,
    kProcessGroupUnregister = 4,
};

struct ProjectState {
    CollectionRef DigColl = std::make_shared<ItemCollection>();
    SaveFileRef SaveFile = std::make_shared<clsSaveFile>();
    CollectionRef PreDigColl = std::make_shared<ItemCollection>();
    SaveFileRef PreSaveFile = std::make_shared<clsSaveFile>();
    int16_t ProcessMode = kProcessIdle;
};

}  // namespace prowl
