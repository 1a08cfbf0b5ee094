#pragma once
#include "platform/FolderOpener.h"

#include <vector>

namespace platform {

// Records every folder it was asked to open and answers with `Answer`.
class FakeFolderOpener : public IFolderOpener {
public:
    bool Open(const std::string& folder) override {
        Opened.push_back(folder);
        return Answer;
    }
    bool Answer = true;
    std::vector<std::string> Opened;
};

} // namespace platform
