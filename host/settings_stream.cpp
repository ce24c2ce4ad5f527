// The settings stream: one function per group for each direction, so the
// reader and the writer can be compared side by side.
#include "host/settings_stream.h"

#include "host/counted_text.h"
#include "host/embedded_file.h"

namespace kelpo {

namespace {

void ReadPathText(ByteReader& reader, char* buffer) {
    ReadCountedTextInto(reader, buffer, kPathTextSize);
}

void ReadVersionInfo(ByteReader& r, VersionInfo& v) {
    v.productName = ReadCountedText(r);
    v.fileDescription = ReadCountedText(r);
    v.companyName = ReadCountedText(r);
    v.copyright = ReadCountedText(r);
    v.trademarks = ReadCountedText(r);
    v.comments = ReadCountedText(r);
    v.version = ReadCountedText(r);
}

void WriteVersionInfo(ByteWriter& w, const VersionInfo& v) {
    WriteCountedText(w, v.productName);
    WriteCountedText(w, v.fileDescription);
    WriteCountedText(w, v.companyName);
    WriteCountedText(w, v.copyright);
    WriteCountedText(w, v.trademarks);
    WriteCountedText(w, v.comments);
    WriteCountedText(w, v.version);
}

void ReadAppearance(ByteReader& r, AppearanceSettings& a) {
    a.windowShape = ReadU32(r);
    a.borderStyle = ReadU32(r);
    a.borderIcons = ReadU32(r);
    a.scaleMode = ReadU32(r);
    ReadPathText(r, a.maskName);
    ReadPathText(r, a.caption);
}

void WriteAppearance(ByteWriter& w, const AppearanceSettings& a) {
    WriteU32(w, a.windowShape);
    WriteU32(w, a.borderStyle);
    WriteU32(w, a.borderIcons);
    WriteU32(w, a.scaleMode);
    WriteCountedText(w, a.maskName);
    WriteCountedText(w, a.caption);
}

void ReadSizeAndPos(ByteReader& r, SizeAndPosSettings& s) {
    s.windowSize = ReadU32(r);
    s.width = ReadU16(r);
    s.height = ReadU16(r);
    s.pos = ReadU32(r);
    s.left = ReadU16(r);
    s.top = ReadU16(r);
    s.bKeepRatio = ReadU32(r);
}

void WriteSizeAndPos(ByteWriter& w, const SizeAndPosSettings& s) {
    WriteU32(w, s.windowSize);
    WriteU16(w, s.width);
    WriteU16(w, s.height);
    WriteU32(w, s.pos);
    WriteU16(w, s.left);
    WriteU16(w, s.top);
    WriteU32(w, s.bKeepRatio);
}

void ReadInteraction(ByteReader& r, InteractionSettings& i) {
    i.lBtnClk = ReadU32(r);
    i.rBtnClk = ReadU32(r);
    i.keyPress = ReadU32(r);
    i.exitKeys = ReadU32(r);
    i.lockFlags = ReadU32(r);
    i.hotKeyCode = ReadU16(r);
    i.hotKeyModifiers = ReadU16(r);
}

void WriteInteraction(ByteWriter& w, const InteractionSettings& i) {
    WriteU32(w, i.lBtnClk);
    WriteU32(w, i.rBtnClk);
    WriteU32(w, i.keyPress);
    WriteU32(w, i.exitKeys);
    WriteU32(w, i.lockFlags);
    WriteU16(w, i.hotKeyCode);
    WriteU16(w, i.hotKeyModifiers);
}

void ReadReserved(ByteReader& r, ReservedGroup& g) {
    uint32_t length = ReadU32(r);
    const uint8_t* bytes = ReadBytes(r, length);
    g.bytes.assign(bytes, bytes + length);
}

void WriteReserved(ByteWriter& w, const ReservedGroup& g) {
    WriteU32(w, static_cast<uint32_t>(g.bytes.size()));
    WriteBytes(w, g.bytes.data(), g.bytes.size());
}

void ReadMisc(ByteReader& r, MiscSettings& m, const std::string& folder) {
    m.flags = ReadU32(r);
    m.backgroundColor = ReadU32(r);
    ReadEmbeddedFile(r, folder, m.helpFile);
}

void WriteMisc(ByteWriter& w, const MiscSettings& m) {
    WriteU32(w, m.flags);
    WriteU32(w, m.backgroundColor);
    WriteEmbeddedFile(w, m.helpFile);
}

void ReadAbout(ByteReader& r, AboutSettings& a, const std::string& folder) {
    a.link1Caption = ReadCountedText(r);
    a.link1Target = ReadCountedText(r);
    a.link2Caption = ReadCountedText(r);
    a.link2Target = ReadCountedText(r);
    a.link1Color = ReadU32(r);
    a.link2Color = ReadU32(r);
    ReadLinkFont(r, a.link1Font);
    ReadLinkFont(r, a.link2Font);
    a.pictureFlags = ReadU32(r);
    a.pictureWord = ReadU32(r);
    ReadEmbeddedFile(r, folder, a.picture);
    ReadPathText(r, a.carriedPath);
}

void WriteAbout(ByteWriter& w, const AboutSettings& a) {
    WriteCountedText(w, a.link1Caption);
    WriteCountedText(w, a.link1Target);
    WriteCountedText(w, a.link2Caption);
    WriteCountedText(w, a.link2Target);
    WriteU32(w, a.link1Color);
    WriteU32(w, a.link2Color);
    WriteLinkFont(w, a.link1Font);
    WriteLinkFont(w, a.link2Font);
    WriteU32(w, a.pictureFlags);
    WriteU32(w, a.pictureWord);
    WriteEmbeddedFile(w, a.picture);
    WriteCountedText(w, a.carriedPath);
}

void ReadTrailing(ByteReader& r, TrailingGroup& t) {
    t.word1 = ReadU32(r);
    t.text = ReadCountedText(r);
    t.word2 = ReadU32(r);
    const uint8_t* bytes = ReadBytes(r, sizeof t.bytes);
    for (size_t i = 0; i < sizeof t.bytes; ++i) t.bytes[i] = bytes[i];
    t.word3 = ReadU32(r);
    ReadPathText(r, t.path);
    t.short1 = ReadU16(r);
    t.short2 = ReadU16(r);
}

void WriteTrailing(ByteWriter& w, const TrailingGroup& t) {
    WriteU32(w, t.word1);
    WriteCountedText(w, t.text);
    WriteU32(w, t.word2);
    WriteBytes(w, t.bytes, sizeof t.bytes);
    WriteU32(w, t.word3);
    WriteCountedText(w, t.path);
    WriteU16(w, t.short1);
    WriteU16(w, t.short2);
}

}  // namespace

ProjectSettings EmptyProjectSettings() { return ProjectSettings{}; }

void ReadLinkFont(ByteReader& r, LinkFont& f) {
    f.height = static_cast<int32_t>(ReadU32(r));
    f.width = static_cast<int32_t>(ReadU32(r));
    f.escapement = static_cast<int32_t>(ReadU32(r));
    f.orientation = static_cast<int32_t>(ReadU32(r));
    f.weight = static_cast<int32_t>(ReadU32(r));
    f.italic = ReadU8(r);
    f.underline = ReadU8(r);
    f.strikeOut = ReadU8(r);
    f.charSet = ReadU8(r);
    f.outPrecision = ReadU8(r);
    f.clipPrecision = ReadU8(r);
    f.quality = ReadU8(r);
    f.pitchAndFamily = ReadU8(r);
    ReadCountedTextInto(r, f.faceName, sizeof f.faceName);
}

void WriteLinkFont(ByteWriter& w, const LinkFont& f) {
    WriteU32(w, static_cast<uint32_t>(f.height));
    WriteU32(w, static_cast<uint32_t>(f.width));
    WriteU32(w, static_cast<uint32_t>(f.escapement));
    WriteU32(w, static_cast<uint32_t>(f.orientation));
    WriteU32(w, static_cast<uint32_t>(f.weight));
    const uint8_t bytes[8] = {f.italic,       f.underline,     f.strikeOut, f.charSet,
                              f.outPrecision, f.clipPrecision, f.quality,   f.pitchAndFamily};
    WriteBytes(w, bytes, sizeof bytes);
    WriteCountedText(w, f.faceName);
}

void ReadSettingsStream(ByteReader& reader, ProjectSettings& settings, const std::string& folder) {
    ReadVersionInfo(reader, settings.version);
    ReadAppearance(reader, settings.appearance);
    ReadSizeAndPos(reader, settings.sizeAndPos);
    ReadInteraction(reader, settings.interaction);
    settings.behaviour.contextMenu = ReadU32(reader);
    settings.behaviour.flags = ReadU32(reader);
    ReadReserved(reader, settings.reserved);
    ReadMisc(reader, settings.misc, folder);
    ReadAbout(reader, settings.about, folder);
    ReadTrailing(reader, settings.trailing);
}

void WriteSettingsStream(ByteWriter& writer, const ProjectSettings& settings) {
    WriteVersionInfo(writer, settings.version);
    WriteAppearance(writer, settings.appearance);
    WriteSizeAndPos(writer, settings.sizeAndPos);
    WriteInteraction(writer, settings.interaction);
    WriteU32(writer, settings.behaviour.contextMenu);
    WriteU32(writer, settings.behaviour.flags);
    WriteReserved(writer, settings.reserved);
    WriteMisc(writer, settings.misc);
    WriteAbout(writer, settings.about);
    WriteTrailing(writer, settings.trailing);
}

}  // namespace kelpo
