#include "TagReader.h"

#include "FileByteSource.h"
#include "TagText.h"

#include <taglib/aifffile.h>
#include <taglib/apetag.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tiostream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <memory>

namespace tunaudio {

namespace {

// A read-only TagLib stream over the same buffered file source the decoders read: TagLib's own
// FileStream opens a C stream for every file, and opens a FIFO (which blocks) as readily as a
// file. Tags are never written through it.
class TSourceTagStream final : public TagLib::IOStream {
public:
    TSourceTagStream(TByteSource& source, const std::string& name)
        : source_(source), name_(name) {}

    TagLib::FileName name() const override { return name_.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override {
        // A tag's size field may claim anything: never more than is left of the file.
        const int64_t left = std::max<int64_t>(source_.Size() - source_.Tell(), 0);
        const auto want = static_cast<unsigned int>(std::min<uint64_t>(length, uint64_t(left)));
        TagLib::ByteVector data(want, 0);
        const size_t got = want ? source_.Read(data.data(), want) : 0;
        data.resize(static_cast<unsigned int>(got));
        return data;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override {
        const int64_t from = p == Beginning ? 0 : p == Current ? source_.Tell() : source_.Size();
        const int64_t to = from + offset;
        if (to >= 0) // as a C stream, a place before the start is refused; past the end, reads give nothing
            source_.Seek(std::min(to, source_.Size()));
    }
    long tell() const override { return static_cast<long>(source_.Tell()); }
    long length() override { return static_cast<long>(source_.Size()); }
    void truncate(long) override {}

private:
    TByteSource& source_;
    std::string name_;
};

std::string Utf8(const TagLib::String& s) {
    return s.to8Bit(true);
}

// A text frame stored as Latin-1 may really hold GBK (or UTF-8) bytes; the other encodings
// say what they are.
std::string FromId3v2(const TagLib::ID3v2::Tag* tag, const char* frameId) {
    if (!tag)
        return {};
    const auto& map = tag->frameListMap();
    const auto it = map.find(frameId);
    if (it == map.end() || it->second.isEmpty())
        return {};
    const auto* frame =
        dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(it->second.front());
    if (!frame)
        return Utf8(it->second.front()->toString());
    if (frame->textEncoding() == TagLib::String::Latin1)
        return DecodeLegacyTagText(frame->toString().to8Bit(false));
    return Utf8(frame->toString());
}

// TagLib reads ID3v1 as Latin-1, one character per byte, so to8Bit(false) gives the stored
// bytes back.
std::string FromLegacy(const TagLib::String& s) {
    return DecodeLegacyTagText(s.to8Bit(false));
}

TTags ReadMpeg(TagLib::IOStream* stream) {
    TagLib::MPEG::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
    TTags tags;
    if (!file.isValid())
        return tags;
    const TagLib::ID3v2::Tag* v2 = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr;
    const TagLib::APE::Tag* ape = file.hasAPETag() ? file.APETag() : nullptr;
    const TagLib::ID3v1::Tag* v1 = file.hasID3v1Tag() ? file.ID3v1Tag() : nullptr;
    const auto pick = [&](const char* frameId, auto field) {
        std::string text = FromId3v2(v2, frameId);
        if (text.empty() && ape)
            text = Utf8((ape->*field)());
        if (text.empty() && v1)
            text = FromLegacy((v1->*field)());
        return text;
    };
    tags.title = pick("TIT2", &TagLib::Tag::title);
    tags.artist = pick("TPE1", &TagLib::Tag::artist);
    return tags;
}

TTags ReadVorbis(TagLib::IOStream* stream) {
    TagLib::Ogg::Vorbis::File file(stream, false);
    TTags tags;
    if (file.isValid() && file.tag()) {
        tags.title = Utf8(file.tag()->title());
        tags.artist = Utf8(file.tag()->artist());
    }
    return tags;
}

// TagLib hands out RIFF INFO text already decoded as UTF-8, which loses GBK bytes; this reads
// the INFO list itself.
class TWavFile final : public TagLib::RIFF::WAV::File {
public:
    explicit TWavFile(TagLib::IOStream* stream) : TagLib::RIFF::WAV::File(stream, false) {}

    // Fills what is still empty in `tags` from the INFO list's INAM and IART fields.
    void ReadInfo(TTags& tags) {
        for (unsigned i = 0; i < chunkCount(); ++i) {
            if (chunkName(i) != "LIST")
                continue;
            const TagLib::ByteVector list = chunkData(i);
            if (!list.startsWith("INFO"))
                continue;
            for (unsigned p = 4; p + 8 <= list.size();) {
                const TagLib::ByteVector id = list.mid(p, 4);
                const unsigned size = list.toUInt(p + 4, false);
                if (size > list.size() - p - 8)
                    break;
                std::string text(list.data() + p + 8, size);
                text = text.substr(0, text.find('\0'));
                if (id == "INAM" && tags.title.empty())
                    tags.title = DecodeLegacyTagText(text);
                else if (id == "IART" && tags.artist.empty())
                    tags.artist = DecodeLegacyTagText(text);
                p += 8 + size + (size & 1); // fields are padded to even sizes
            }
        }
    }
};

TTags ReadWav(TagLib::IOStream* stream) {
    TWavFile file(stream);
    TTags tags;
    if (!file.isValid())
        return tags;
    if (file.hasID3v2Tag()) {
        tags.title = FromId3v2(file.ID3v2Tag(), "TIT2");
        tags.artist = FromId3v2(file.ID3v2Tag(), "TPE1");
    }
    file.ReadInfo(tags);
    return tags;
}

TTags ReadAiff(TagLib::IOStream* stream) {
    TagLib::RIFF::AIFF::File file(stream, false);
    TTags tags;
    if (file.isValid() && file.hasID3v2Tag()) {
        tags.title = FromId3v2(file.tag(), "TIT2");
        tags.artist = FromId3v2(file.tag(), "TPE1");
    }
    return tags;
}

TTags ReadFrom(TagLib::IOStream* stream, TContainer container) {
    switch (container) {
    case TContainer::Mpeg:
        return ReadMpeg(stream);
    case TContainer::OggVorbis:
        return ReadVorbis(stream);
    case TContainer::Wav:
        return ReadWav(stream);
    case TContainer::Aiff:
        return ReadAiff(stream);
    case TContainer::Addon:
        break; // the add-on reads its own tags
    }
    return {};
}

} // namespace

TTags ReadFileTags(const std::string& path, TContainer container) {
    const std::unique_ptr<TFileByteSource> source = TFileByteSource::Open(path, 0, 0);
    if (!source)
        return {};
    TSourceTagStream stream(*source, path);
    return ReadFrom(&stream, container);
}

TTags ReadMemoryTags(const std::string& bytes, TContainer container) {
    TagLib::ByteVector data(bytes.data(), static_cast<unsigned int>(bytes.size()));
    TagLib::ByteVectorStream stream(data);
    return ReadFrom(&stream, container);
}

} // namespace tunaudio
