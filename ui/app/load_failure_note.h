#pragma once

#include <string>

// What the dialog adds, in the same box, under the run's "Error loading data": which file, and
// why it was not loaded where the system or the user said why. The run's own words stay first.
class LoadFailureNote {
  public:
    // A load of `path` begins: what an earlier load noted is forgotten.
    void begin(const std::string& path);
    // The file could not be opened or read; `error` is the system's error number.
    void unreadable(const std::string& path, int error);
    // The user answered No to the size question.
    void declined() { declined_ = true; }

    // `text` as the user is to read it: the load's failure message gets the file and the reason
    // added below it; every other text is returned as it is.
    std::string addTo(const std::string& text) const;

  private:
    std::string path_;
    std::string reason_;
    bool declined_ = false;
};
