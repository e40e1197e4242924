#pragma once
// What the commands that work on a composition read, read one way for all of
// them: the method library of --library, the music file of --music and the
// composition file, with the same messages when one does not read and the
// same load report (the leads that lost their methods) on standard error.
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "cli/options.h"
#include "composition/composition.h"
#include "composition/music.h"

namespace quarnel::cli {

// The options that name the inputs, for the commands' tables.
extern const Option LibraryOption;
extern const Option MusicOption;

// Reads the method library of --library (or where the program finds one)
// into the library every command uses.
void loadLibrary(const CommandLine& line);

// The composition of a file, after its load report; nothing, after
// "Cannot open FILE" or "Load abandoned: <why> (<line>)", when it does not read.
std::unique_ptr<Composition> loadComposition(const std::string& path, std::ostream& err);

// The notation text a typed method stands for, as every command reads it:
// a library name; place notation as ringers write it; a name as ringers type
// it that matches one library method. Says why on err and gives nothing
// otherwise.
std::optional<std::string> methodText(const std::string& typed, std::ostream& err);

struct Inputs {
    std::unique_ptr<Composition> composition;
    std::optional<MusicTable> music;  // none without --music
};

// The library, the music of --music and the composition named by the
// command's first word; nothing (after a message) when one does not read.
std::optional<Inputs> readInputs(const CommandLine& line, std::ostream& err);

}  // namespace quarnel::cli
