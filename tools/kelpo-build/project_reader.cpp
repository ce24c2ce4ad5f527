// Reading a project file into a BuildInput: the settings groups (in
// settings_reader), then one reader per top-level input key.
#include "tools/kelpo-build/project_reader.h"

#include <algorithm>

#include "platform/files.h"
#include "tools/kelpo-build/folder_archive.h"
#include "tools/kelpo-build/icon_file.h"
#include "tools/kelpo-build/input_files.h"
#include "tools/kelpo-build/menu_reader.h"
#include "tools/kelpo-build/project_error.h"
#include "tools/kelpo-build/script_images.h"
#include "tools/kelpo-build/settings_reader.h"

namespace kelpo::build {

namespace {

struct Project {
    ObjectFields& fields;
    const std::string& folder;
    BuildInput& input;
};

std::string AsciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return AsciiUpper(a) == AsciiUpper(b);
}

// A resource or file name chosen by the project: letters, digits, '_', '-'
// and '.', so that it is stored uppercase without surprises and extracts as
// a plain file name.
std::string CheckedName(const std::string& name, const std::string& path) {
    if (name.empty()) throw ProjectError(path, "a name may not be empty");
    for (char c : name) {
        bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == '.';
        if (!allowed)
            throw ProjectError(path,
                               "the name \"" + name + "\" may use only letters, digits, _ - and .");
    }
    if (name == "." || name == "..")
        throw ProjectError(path, "the name \"" + name + "\" is not allowed");
    return name;
}

std::vector<uint8_t> ReadNamedFile(const Json& value, const std::string& path,
                                   const std::string& folder) {
    std::string file = ReadText(value, path);
    if (file.empty()) throw ProjectError(path, "expected a file name");
    return ReadInputFile(path, ResolveInputPath(folder, file));
}

void ReadOptionalFile(Project& p, const char* key, OptionalFile& out) {
    if (const Json* value = p.fields.Take(key)) {
        out.present = true;
        out.content = ReadNamedFile(*value, p.fields.PathOf(key), p.folder);
    }
}

// Movies and plug-in files: embedded entries carry their bytes under their
// bare file names (which must differ); the others keep the path as written,
// relative to the executable's folder.
void ReadMovieFiles(ObjectFields& movies, const char* key, uint32_t kind, bool embed,
                    const std::string& folder, std::vector<MovieListEntry>& entries) {
    const Json* list = movies.Take(key);
    if (list == nullptr) return;
    std::string listPath = movies.PathOf(key);
    if (!list->is_array()) throw ProjectError(listPath, "expected an array of file names");
    for (size_t i = 0; i < list->size(); ++i) {
        std::string path = ElementPath(listPath, i);
        std::string file = ReadText((*list)[i], path);
        if (file.empty()) throw ProjectError(path, "expected a file name");
        MovieListEntry entry{kind, file, {}};
        if (embed) {
            entry.content = ReadInputFile(path, ResolveInputPath(folder, file));
            entry.name = BareFileName(file);
            for (const MovieListEntry& other : entries)
                if (other.kind == kind && SameNameNoCase(other.name, entry.name))
                    throw ProjectError(path, "a second embedded file named \"" + entry.name + "\"");
        } else {
            std::replace(entry.name.begin(), entry.name.end(), '/', '\\');
        }
        entries.push_back(std::move(entry));
    }
}

void ReadMovies(Project& p) {
    std::optional<ObjectFields> movies = p.fields.Object("movies");
    if (!movies) return;
    bool embed = true;
    bool randomStart = false;
    movies->Bool("embed", embed);
    movies->Bool("randomStart", randomStart);
    p.input.movieListFlags =
        (embed ? kMovieListEmbedded : 0) | (randomStart ? kMovieListRandomStart : 0);
    ReadMovieFiles(*movies, "files", kMovieEntryMovie, embed, p.folder, p.input.movies);
    ReadMovieFiles(*movies, "plugins", kMovieEntryPlugIn, embed, p.folder, p.input.movies);
    movies->RefuseUnknownKeys();
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           SameNameNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Scripts: ".klc" files are compiled images taken as they are; any other
// file is source compiled now.
void ReadScripts(Project& p) {
    std::optional<ObjectFields> scripts = p.fields.Object("scripts");
    if (!scripts) return;
    for (auto member = scripts->json().begin(); member != scripts->json().end(); ++member) {
        std::string path = scripts->PathOf(member.key());
        CompiledScript script{AsciiUpper(CheckedName(member.key(), path)), {}};
        for (const CompiledScript& other : p.input.scripts)
            if (other.name == script.name)
                throw ProjectError(path, "a second script named \"" + script.name + "\"");
        std::string file = ReadText(member.value(), path);
        if (file.empty()) throw ProjectError(path, "expected a file name");
        std::string resolved = ResolveInputPath(p.folder, file);
        if (EndsWithNoCase(file, ".klc")) {
            script.image = ReadInputFile(path, resolved);
            if (!IsScriptImage(script.image))
                throw ProjectError(path,
                                   "\"" + resolved + "\" is not a compiled Kelpo Script image");
        } else {
            ReadInputFile(path, resolved);  // a missing file is named as such
            std::string message;
            if (!CompileScriptFile(resolved, script.image, message))
                throw ProjectError(path, resolved + ": " + message);
        }
        p.input.scripts.push_back(std::move(script));
    }
}

void ReadMenus(Project& p) {
    std::optional<ObjectFields> menus = p.fields.Object("menus");
    if (!menus) return;
    for (auto member = menus->json().begin(); member != menus->json().end(); ++member) {
        std::string path = menus->PathOf(member.key());
        StoredMenu menu{AsciiUpper(CheckedName(member.key(), path)),
                        ReadMenuItems(member.value(), path)};
        for (const StoredMenu& other : p.input.menus)
            if (other.name == menu.name)
                throw ProjectError(path, "a second menu named \"" + menu.name + "\"");
        p.input.menus.push_back(std::move(menu));
    }
}

void ReadMasks(Project& p) {
    std::optional<ObjectFields> masks = p.fields.Object("masks");
    if (!masks) return;
    for (auto member = masks->json().begin(); member != masks->json().end(); ++member) {
        std::string path = masks->PathOf(member.key());
        ShapeMask mask{CheckedName(member.key(), path),
                       ReadNamedFile(member.value(), path, p.folder)};
        for (const ShapeMask& other : p.input.masks)
            if (SameNameNoCase(other.name, mask.name))
                throw ProjectError(path, "a second mask named \"" + mask.name + "\"");
        p.input.masks.push_back(std::move(mask));
    }
}

// The icons by group id: 128 the application icon, 198 the second icon.
void ReadIcons(Project& p) {
    std::optional<ObjectFields> icons = p.fields.Object("icons");
    if (!icons) return;
    for (uint16_t id : {uint16_t{128}, uint16_t{198}}) {
        std::string key = std::to_string(id);
        const Json* value = icons->Take(key);
        if (value == nullptr) continue;
        IconInput icon{id, ReadNamedFile(*value, icons->PathOf(key), p.folder)};
        IconResources parts;
        std::string reason;
        if (!SplitIconFile(icon.icoFile, 1, parts, reason))
            throw ProjectError(icons->PathOf(key), reason);
        p.input.icons.push_back(std::move(icon));
    }
    icons->RefuseUnknownKeys();
}

void ReadSupportFiles(Project& p) {
    std::optional<ObjectFields> support = p.fields.Object("support");
    if (!support) return;
    for (auto member = support->json().begin(); member != support->json().end(); ++member) {
        std::string path = support->PathOf(member.key());
        size_t slot = 0;
        while (slot < kSupportFileNames.size() &&
               !SameNameNoCase(member.key(), kSupportFileNames[slot]))
            ++slot;
        if (slot == kSupportFileNames.size())
            throw ProjectError(
                path,
                "unknown support file (expected MSVCRT.DLL, OLEAUT32.DLL, URLMON.DLL or WININET.DLL)");
        support->Take(member.key());
        if (p.input.support[slot].present)
            throw ProjectError(path, "the support file is named twice");
        p.input.support[slot].present = true;
        p.input.support[slot].content = ReadNamedFile(member.value(), path, p.folder);
    }
}

// The mask a mask-shaped window names must be packaged.
void CheckMaskName(const BuildInput& input) {
    const char* maskName = input.settings.appearance.maskName;
    if (maskName[0] == '\0') {
        if (input.settings.appearance.windowShape == kShapeMask)
            throw ProjectError("/appearance/maskName", "a mask-shaped window needs a mask name");
        return;
    }
    for (const ShapeMask& mask : input.masks)
        if (SameNameNoCase(mask.name, maskName)) return;
    throw ProjectError("/appearance/maskName",
                       "no mask named \"" + std::string(maskName) + "\" in /masks");
}

}  // namespace

BuildInput ReadProjectText(const std::string& jsonText, const std::string& projectFolder,
                           const std::string& defaultProductName) {
    Json document;
    try {
        document = Json::parse(jsonText);
    } catch (const Json::parse_error& error) {
        // nlohmann's text starts with "[json.exception.parse_error.N] ".
        std::string message = error.what();
        size_t bracket = message.find("] ");
        throw ProjectError(
            "", "not valid JSON: " +
                    (bracket == std::string::npos ? message : message.substr(bracket + 2)));
    }
    if (!document.is_object()) throw ProjectError("", "the project file must hold a JSON object");
    ObjectFields fields(document, "");
    BuildInput input;
    input.settings = DefaultSettings(defaultProductName);
    Project project{fields, projectFolder, input};

    ReadSettingsGroups(fields, projectFolder, input.settings);
    ReadMovies(project);
    ReadScripts(project);
    ReadMenus(project);
    ReadMasks(project);
    ReadIcons(project);
    ReadOptionalFile(project, "aboutPicture", input.aboutPicture);
    ReadOptionalFile(project, "player", input.player);
    ReadSupportFiles(project);
    input.registryText = input.settings.version.productName;
    if (const Json* registry = fields.Take("registry"))
        input.registryText = ReadText(*registry, "/registry");
    if (input.registryText.empty())
        throw ProjectError("/registry",
                           "the registry location is empty (give \"registry\" or a product name)");
    if (const Json* folder = fields.Take("additionalFiles")) {
        std::string text = ReadText(*folder, "/additionalFiles");
        if (text.empty()) throw ProjectError("/additionalFiles", "expected a folder name");
        input.hasAdditionalFiles = true;
        input.additionalFiles =
            ReadFolderTree("/additionalFiles", ResolveInputPath(projectFolder, text));
    }
    fields.RefuseUnknownKeys();
    CheckMaskName(input);
    return input;
}

BuildInput ReadProjectFile(const std::string& projectPath) {
    std::vector<uint8_t> bytes;
    if (!FileExists(projectPath) || !ReadWholeFile(projectPath, bytes))
        throw ProjectError("", "cannot read the project file \"" + projectPath + "\"");
    std::string name = BareFileName(projectPath);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    std::string folder = FolderOfPath(projectPath);
    return ReadProjectText(std::string(bytes.begin(), bytes.end()), folder, name);
}

}  // namespace kelpo::build
