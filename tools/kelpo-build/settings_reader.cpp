// Settings groups: one reader per group in stream order, each naming its
// fields exactly as the ProjectSettings record does, and the symbolic names
// of every choice and flag word beside them.
#include "tools/kelpo-build/settings_reader.h"

#include <cstring>

#include "tools/kelpo-build/input_files.h"
#include "tools/kelpo-build/project_error.h"

namespace kelpo::build {

namespace {

const SymbolTable kWindowShapes = {{"rectangle", kShapeRectangle},
                                   {"transparentBackground", kShapeTransparentBackground},
                                   {"mask", kShapeMask}};
const SymbolTable kBorderStyles = {{"none", kBorderNone},
                                   {"single", kBorderSingle},
                                   {"resizable", kBorderResizable},
                                   {"smallCaption", kBorderSmallCaption},
                                   {"hideTaskbarButton", kBorderHideTaskbarButton}};
const SymbolTable kBorderIcons = {{"maximize", kIconMaximize},
                                  {"minimize", kIconMinimize},
                                  {"systemMenu", kIconSystemMenu},
                                  {"help", kIconHelp}};
const SymbolTable kScaleModes = {{"showAll", kScaleShowAll},
                                 {"noScale", kScaleNoScale},
                                 {"noBorder", kScaleNoBorder},
                                 {"exactFit", kScaleExactFit}};
const SymbolTable kWindowSizes = {
    {"movieSize", 0}, {"fullScreen", 1}, {"maximized", 2}, {"custom", 3}, {"percentage", 4}};
// The nine anchors row by row from the top left, then a custom position.
const SymbolTable kPositions = {{"topLeft", 0},     {"top", 1},   {"topRight", 2},   {"left", 3},
                                {"center", 4},      {"right", 5}, {"bottomLeft", 6}, {"bottom", 7},
                                {"bottomRight", 8}, {"custom", 9}};
const SymbolTable kLeftClicks = {{"player", 0}, {"dragWindow", 1}, {"ignore", 2}};
const SymbolTable kRightClicks = {{"playerMenu", 0}, {"contextMenu", 1}, {"ignore", 2}};
const SymbolTable kKeyPresses = {{"player", 1}, {"ignore", 16}, {"disableWindowsKeys", 256}};
const SymbolTable kExitKeys = {{"esc", 1}, {"hotKey", 16}};
const SymbolTable kLocks = {
    {"disableAltTab", 1}, {"disableCursor", 16}, {"disableScreenSaver", 256}};
const SymbolTable kContextMenuItems = {
    {"configure", 1}, {"lockMenu", 2}, {"playerMenu", 16}, {"about", 256}, {"help", 4096}};
const SymbolTable kBehaviourFlags = {{"autoPlay", kBehaviourAutoPlay},
                                     {"trayUsesAppIcon", kBehaviourTrayUsesAppIcon},
                                     {"startMinimized", kBehaviourStartMinimized},
                                     {"alwaysOnTop", kBehaviourAlwaysOnTop},
                                     {"showInSystemTray", kBehaviourShowInSystemTray}};
const SymbolTable kMiscFlags = {{"customBackground", kMiscCustomBackground},
                                {"aboutAsSplash", kMiscAboutAsSplash},
                                {"muteSpeakers", kMiscMuteSpeakers},
                                {"useHelpFile", kMiscUseHelpFile}};
const SymbolTable kPictureFlags = {{"showMovie", kAboutShowMovie},
                                   {"showPicture", kAboutShowPicture},
                                   {"transparentPicture", kAboutTransparentPicture}};

// Runs `read` on the group when the project has it, then refuses unknown keys.
template <typename Reader>
void ReadGroup(ObjectFields& project, const char* key, Reader read) {
    std::optional<ObjectFields> group = project.Object(key);
    if (!group) return;
    read(*group);
    group->RefuseUnknownKeys();
}

// An embedded file of the settings stream: a path resolved against the
// project folder, which must exist now because the stream carries its bytes.
void EmbeddedPath(ObjectFields& group, const char* key, const std::string& projectFolder,
                  char* field) {
    const Json* value = group.Take(key);
    if (value == nullptr) return;
    std::string text = ReadText(*value, group.PathOf(key));
    if (text.empty()) {
        field[0] = '\0';
        return;
    }
    std::string path = ResolveInputPath(projectFolder, text);
    ReadInputFile(group.PathOf(key), path);
    if (path.size() >= kPathTextSize)
        throw ProjectError(group.PathOf(key), "path longer than " +
                                                  std::to_string(kPathTextSize - 1) +
                                                  " characters: \"" + path + "\"");
    std::strcpy(field, path.c_str());
}

void ReadFont(ObjectFields& f, LinkFont& font) {
    f.Signed32("height", font.height);
    f.Signed32("width", font.width);
    f.Signed32("escapement", font.escapement);
    f.Signed32("orientation", font.orientation);
    f.Signed32("weight", font.weight);
    f.Unsigned8("italic", font.italic);
    f.Unsigned8("underline", font.underline);
    f.Unsigned8("strikeOut", font.strikeOut);
    f.Unsigned8("charSet", font.charSet);
    f.Unsigned8("outPrecision", font.outPrecision);
    f.Unsigned8("clipPrecision", font.clipPrecision);
    f.Unsigned8("quality", font.quality);
    f.Unsigned8("pitchAndFamily", font.pitchAndFamily);
    f.FixedText("faceName", font.faceName, sizeof font.faceName);
}

void ReadByteArray(const Json& value, const std::string& path, uint8_t* out, size_t count) {
    if (!value.is_array() || value.size() != count)
        throw ProjectError(path, "expected an array of " + std::to_string(count) + " numbers");
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>(ReadUnsigned(value[i], ElementPath(path, i), 255));
}

LinkFont DefaultLinkFont() {
    LinkFont font{};
    font.height = -11;
    font.weight = 400;
    font.underline = 1;
    std::strcpy(font.faceName, "Tahoma");
    return font;
}

}  // namespace

ProjectSettings DefaultSettings(const std::string& productName) {
    ProjectSettings s = EmptyProjectSettings();
    s.version.productName = productName;
    s.appearance.windowShape = kShapeRectangle;
    s.appearance.borderStyle = kBorderResizable;
    s.appearance.borderIcons = kIconMinimize | kIconMaximize | kIconSystemMenu;
    s.appearance.scaleMode = kScaleShowAll;
    s.sizeAndPos.windowSize = 0;  // movie size
    s.sizeAndPos.pos = 4;         // screen centre
    s.sizeAndPos.bKeepRatio = 1;
    s.interaction.lBtnClk = 0;   // the player
    s.interaction.rBtnClk = 1;   // the context menu
    s.interaction.keyPress = 1;  // the player
    s.interaction.exitKeys = 1;  // Esc
    s.behaviour.contextMenu = 1 | 16 | 256 | 4096;
    s.behaviour.flags = kBehaviourAutoPlay;
    s.misc.backgroundColor = 0xFFFFFF;
    s.about.link1Color = 0xFF0000;  // blue
    s.about.link2Color = 0xFF0000;
    s.about.link1Font = DefaultLinkFont();
    s.about.link2Font = DefaultLinkFont();
    return s;
}

void ReadSettingsGroups(ObjectFields& project, const std::string& projectFolder,
                        ProjectSettings& settings) {
    ReadGroup(project, "version", [&](ObjectFields& g) {
        VersionInfo& v = settings.version;
        g.Text("productName", v.productName);
        g.Text("fileDescription", v.fileDescription);
        g.Text("companyName", v.companyName);
        g.Text("copyright", v.copyright);
        g.Text("trademarks", v.trademarks);
        g.Text("comments", v.comments);
        g.Text("version", v.version);
    });
    // The caption follows the product name (cut to the buffer) unless the
    // project sets it.
    CopyToTextBuffer(settings.appearance.caption, kPathTextSize, settings.version.productName);

    ReadGroup(project, "appearance", [&](ObjectFields& g) {
        AppearanceSettings& a = settings.appearance;
        g.Choice("windowShape", a.windowShape, kWindowShapes);
        g.Flags("borderStyle", a.borderStyle, kBorderStyles);
        g.Flags("borderIcons", a.borderIcons, kBorderIcons);
        g.Choice("scaleMode", a.scaleMode, kScaleModes);
        g.FixedText("maskName", a.maskName, sizeof a.maskName);
        g.FixedText("caption", a.caption, sizeof a.caption);
    });
    ReadGroup(project, "sizeAndPos", [&](ObjectFields& g) {
        SizeAndPosSettings& s = settings.sizeAndPos;
        g.Choice("windowSize", s.windowSize, kWindowSizes);
        g.Unsigned16("width", s.width);
        g.Unsigned16("height", s.height);
        g.Choice("pos", s.pos, kPositions);
        g.Unsigned16("left", s.left);
        g.Unsigned16("top", s.top);
        g.Unsigned32("bKeepRatio", s.bKeepRatio);
    });
    ReadGroup(project, "interaction", [&](ObjectFields& g) {
        InteractionSettings& i = settings.interaction;
        g.Choice("lBtnClk", i.lBtnClk, kLeftClicks);
        g.Choice("rBtnClk", i.rBtnClk, kRightClicks);
        g.Flags("keyPress", i.keyPress, kKeyPresses);
        g.Flags("exitKeys", i.exitKeys, kExitKeys);
        g.Flags("lockFlags", i.lockFlags, kLocks);
        g.Unsigned16("hotKeyCode", i.hotKeyCode);
        g.Unsigned16("hotKeyModifiers", i.hotKeyModifiers);
    });
    ReadGroup(project, "behaviour", [&](ObjectFields& g) {
        g.Flags("contextMenu", settings.behaviour.contextMenu, kContextMenuItems);
        g.Flags("flags", settings.behaviour.flags, kBehaviourFlags);
    });
    ReadGroup(project, "reserved", [&](ObjectFields& g) {
        if (const Json* bytes = g.Take("bytes")) {
            if (!bytes->is_array())
                throw ProjectError(g.PathOf("bytes"), "expected an array of numbers");
            settings.reserved.bytes.resize(bytes->size());
            ReadByteArray(*bytes, g.PathOf("bytes"), settings.reserved.bytes.data(), bytes->size());
        }
    });
    ReadGroup(project, "misc", [&](ObjectFields& g) {
        MiscSettings& m = settings.misc;
        g.Flags("flags", m.flags, kMiscFlags);
        g.Color("backgroundColor", m.backgroundColor);
        EmbeddedPath(g, "helpFile", projectFolder, m.helpFile);
    });
    ReadGroup(project, "about", [&](ObjectFields& g) {
        AboutSettings& a = settings.about;
        g.Text("link1Caption", a.link1Caption);
        g.Text("link1Target", a.link1Target);
        g.Text("link2Caption", a.link2Caption);
        g.Text("link2Target", a.link2Target);
        g.Color("link1Color", a.link1Color);
        g.Color("link2Color", a.link2Color);
        if (auto font = g.Object("link1Font")) {
            ReadFont(*font, a.link1Font);
            font->RefuseUnknownKeys();
        }
        if (auto font = g.Object("link2Font")) {
            ReadFont(*font, a.link2Font);
            font->RefuseUnknownKeys();
        }
        g.Flags("pictureFlags", a.pictureFlags, kPictureFlags);
        g.Unsigned32("pictureWord", a.pictureWord);
        EmbeddedPath(g, "picture", projectFolder, a.picture);
        g.FixedText("carriedPath", a.carriedPath, sizeof a.carriedPath);
    });
    ReadGroup(project, "trailing", [&](ObjectFields& g) {
        TrailingGroup& t = settings.trailing;
        g.Unsigned32("word1", t.word1);
        g.Text("text", t.text);
        g.Unsigned32("word2", t.word2);
        if (const Json* bytes = g.Take("bytes"))
            ReadByteArray(*bytes, g.PathOf("bytes"), t.bytes, sizeof t.bytes);
        g.Unsigned32("word3", t.word3);
        g.FixedText("path", t.path, sizeof t.path);
        g.Unsigned16("short1", t.short1);
        g.Unsigned16("short2", t.short2);
    });
}

}  // namespace kelpo::build
