#include "help/chm_archive_check.h"

#include "help/little_endian.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kItsfV2Bytes = 0x58, kItsfV3Bytes = 0x60, kItspBytes = 0x54;
constexpr std::uint64_t kPmglHeaderBytes = 0x14, kPmgiHeaderBytes = 0x08;
constexpr std::uint32_t kMinBlockBytes = 0x40, kMaxBlockBytes = 0x10000;
constexpr std::uint64_t kMaxDirectoryBytes = 32 * 1024 * 1024;
constexpr qsizetype kMaxObjects = 65536;  // each is indexed by name; a help file holds dozens
constexpr std::uint64_t kMaxNumber = std::uint64_t{1}
    << 40;  // larger lengths and offsets are damage
constexpr std::uint64_t kMaxNameBytes = CHM_MAX_PATHLEN;
constexpr std::uint64_t kLzxFrameBytes = 0x8000;
constexpr std::uint64_t kLzxSlackBytes
    = 6144;  // chmlib's room for a frame that grew when compressed
constexpr std::uint64_t kMaxUncompressedBytes = 256 * 1024 * 1024;
constexpr std::uint64_t kMaxResetBlocks = 0xFFFF;

const char* const kResetTable = "::DataSpace/Storage/MSCompressed/Transform/"
                                "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
const char* const kContent = "::DataSpace/Storage/MSCompressed/Content";
const char* const kControlData = "::DataSpace/Storage/MSCompressed/ControlData";

// chmlib's variable-length number: seven bits a byte, high bit set on all but the last.
bool readEncint(const QByteArray& data, qsizetype& pos, qsizetype end, std::uint64_t& value)
{
    value = 0;
    for (int i = 0; i < 7 && pos < end; ++i) {
        const auto byte = static_cast<unsigned char>(data[pos++]);
        value = (value << 7) | (byte & 0x7Fu);
        if ((byte & 0x80u) == 0)
            return value < kMaxNumber;
    }
    return false;
}

QByteArray readAt(QFile& file, std::uint64_t offset, std::uint64_t length)
{
    if (offset > kMaxNumber || length > kMaxDirectoryBytes
        || offset + length > static_cast<std::uint64_t>(file.size())
        || !file.seek(static_cast<qint64>(offset)))
        return {};
    QByteArray bytes = file.read(static_cast<qint64>(length));
    return bytes.size() == static_cast<qsizetype>(length) ? bytes : QByteArray();
}

struct Layout {
    std::uint64_t fileSize = 0;
    std::uint64_t blocksOffset = 0;
    std::uint64_t dataOffset = 0;
    std::uint32_t blockBytes = 0;
    std::uint32_t blockCount = 0;
    std::int32_t indexRoot = -1;
    std::int32_t indexHead = 0;
};

// The ITSF file header and the ITSP directory header, checked the way chmlib will use them.
QString checkHeaders(QFile& file, Layout& layout)
{
    layout.fileSize = static_cast<std::uint64_t>(file.size());
    const QByteArray head = readAt(file, 0, std::min(kItsfV3Bytes, layout.fileSize));
    LittleEndianFields itsf(head);
    if (head.size() < static_cast<qsizetype>(kItsfV2Bytes) || !head.startsWith("ITSF"))
        return QStringLiteral("it is not a compiled help file");
    const std::uint32_t version = itsf.u32(4), headerBytes = itsf.u32(8);
    if (!((version == 2 && headerBytes == kItsfV2Bytes)
          || (version == 3 && headerBytes == kItsfV3Bytes)))
        return QStringLiteral("its header is of an unknown kind");
    const std::uint64_t dirOffset = itsf.u64(0x48), dirBytes = itsf.u64(0x50);
    layout.dataOffset = version == 3 ? itsf.u64(0x58) : dirOffset + dirBytes;
    if (!itsf.ok() || dirOffset > kMaxNumber || dirBytes > kMaxNumber
        || layout.dataOffset > layout.fileSize)
        return QStringLiteral("its header is damaged");

    const QByteArray dir = readAt(file, dirOffset, kItspBytes);
    LittleEndianFields itsp(dir);
    if (!dir.startsWith("ITSP") || itsp.u32(4) != 1 || itsp.u32(8) != kItspBytes)
        return QStringLiteral("its directory is damaged");
    layout.blockBytes = itsp.u32(0x10);
    layout.indexRoot = itsp.s32(0x1C);
    layout.indexHead = itsp.s32(0x20);
    layout.blockCount = itsp.u32(0x2C);
    layout.blocksOffset = dirOffset + kItspBytes;
    const std::uint64_t blocksBytes = std::uint64_t{layout.blockBytes} * layout.blockCount;
    const auto count = static_cast<std::int64_t>(layout.blockCount);
    if (!itsp.ok() || layout.blockBytes < kMinBlockBytes || layout.blockBytes > kMaxBlockBytes
        || blocksBytes > kMaxDirectoryBytes || layout.blocksOffset + blocksBytes > layout.fileSize
        || layout.indexHead < 0 || layout.indexHead >= count || layout.indexRoot < -1
        || layout.indexRoot >= count)
        return QStringLiteral("its directory is damaged");
    return {};
}

using BlockLinks = QList<QList<std::uint64_t>>;  // the blocks each index block points at

// One directory block: a listing block (PMGL) adds its objects, an index block (PMGI) the
// blocks it points at; any other block chmlib refuses when it meets it. Returns why the block
// is damaged, or nothing.
QString readBlock(const QByteArray& dir, std::uint32_t block, const Layout& layout,
                  QList<ChmObject>& objects, BlockLinks& children)
{
    const QString damaged = QStringLiteral("its directory is damaged");
    const qsizetype begin = static_cast<qsizetype>(block) * layout.blockBytes;
    const QByteArray signature = dir.mid(begin, 4);
    const bool listing = signature == "PMGL";
    if (!listing && signature != "PMGI")
        return {};
    const std::uint64_t headerBytes = listing ? kPmglHeaderBytes : kPmgiHeaderBytes;
    const std::uint32_t freeBytes = LittleEndianFields(dir).u32(begin + 4);
    if (freeBytes > layout.blockBytes - headerBytes)
        return damaged;
    qsizetype pos = begin + static_cast<qsizetype>(headerBytes);
    const qsizetype end = begin + layout.blockBytes - freeBytes;
    while (pos < end) {
        std::uint64_t nameBytes = 0;
        if (!readEncint(dir, pos, end, nameBytes) || nameBytes > kMaxNameBytes
            || nameBytes > static_cast<std::uint64_t>(end - pos))
            return damaged;
        const QByteArray name = dir.mid(pos, static_cast<qsizetype>(nameBytes));
        pos += static_cast<qsizetype>(nameBytes);
        if (listing) {
            std::uint64_t space = 0;
            std::uint64_t start = 0;
            std::uint64_t length = 0;
            if (!readEncint(dir, pos, end, space) || !readEncint(dir, pos, end, start)
                || !readEncint(dir, pos, end, length))
                return damaged;
            if (space <= 1 && !name.isEmpty() && !name.contains('\0'))
                objects.append({name, start, length, static_cast<int>(space)});
            if (objects.size() > kMaxObjects)
                return QStringLiteral("its directory lists too many files");
        } else {
            std::uint64_t page = 0;
            if (!readEncint(dir, pos, end, page) || page >= layout.blockCount || page == block)
                return damaged;
            children[block].append(page);
        }
    }
    return {};
}

// Whether the index blocks point round in a circle, which chmlib would follow for ever:
// depth-first from the root with a visiting mark, meeting a block being visited is a loop.
bool indexHasLoop(const Layout& layout, const BlockLinks& children)
{
    const std::uint32_t root = layout.indexRoot >= 0 ? static_cast<std::uint32_t>(layout.indexRoot)
                                                     : static_cast<std::uint32_t>(layout.indexHead);
    QList<char> state(layout.blockCount, 0);  // 0 new, 1 on the path, 2 done
    QList<std::pair<std::uint64_t, qsizetype>> stack{{root, 0}};
    state[root] = 1;
    while (!stack.isEmpty()) {
        auto& [block, next] = stack.last();
        if (next == children[block].size()) {
            state[block] = 2;
            stack.removeLast();
            continue;
        }
        const std::uint64_t child = children[block][next++];
        if (state[child] == 1)
            return true;
        if (state[child] == 0) {
            state[child] = 1;
            stack.append({child, 0});
        }
    }
    return false;
}

// Walks every directory block for the objects; index blocks must point at real blocks and
// never in a circle, since chmlib follows them without a limit.
QString readDirectory(QFile& file, const Layout& layout, QList<ChmObject>& objects)
{
    const QByteArray dir
        = readAt(file, layout.blocksOffset, std::uint64_t{layout.blockBytes} * layout.blockCount);
    if (dir.isEmpty() && layout.blockCount > 0)
        return QStringLiteral("its directory cannot be read");
    BlockLinks children(layout.blockCount);
    for (std::uint32_t block = 0; block < layout.blockCount; ++block) {
        if (const QString error = readBlock(dir, block, layout, objects, children);
            !error.isEmpty())
            return error;
    }
    if (indexHasLoop(layout, children))
        return QStringLiteral("its directory is damaged");
    return {};
}

const ChmObject* findObject(const QList<ChmObject>& objects, const char* name)
{
    for (const ChmObject& object : objects)
        if (object.name.compare(name, Qt::CaseInsensitive) == 0)
            return &object;
    return nullptr;
}

// The LZX control data and reset table, which chmlib uses as divisors, buffer sizes and
// offsets. Returns the decompressed length of the compressed section.
QString checkCompression(QFile& file, const Layout& layout, const QList<ChmObject>& objects,
                         std::uint64_t& uncompressed)
{
    const QString damaged = QStringLiteral("its compressed section is damaged");
    const ChmObject* resetEntry = findObject(objects, kResetTable);
    const ChmObject* contentEntry = findObject(objects, kContent);
    const ChmObject* controlEntry = findObject(objects, kControlData);
    if (!resetEntry || !contentEntry || !controlEntry)
        return damaged;
    for (const ChmObject* entry : {resetEntry, contentEntry, controlEntry})
        if (entry->space != 0 || layout.dataOffset + entry->start + entry->length > layout.fileSize)
            return damaged;

    if (controlEntry->length < 0x18 || controlEntry->length > 0x100)
        return damaged;
    const QByteArray control
        = readAt(file, layout.dataOffset + controlEntry->start, controlEntry->length);
    LittleEndianFields lzxc(control);
    const std::uint32_t version = lzxc.u32(8);
    const std::uint64_t unit = version == 2 ? kLzxFrameBytes : 1;
    const std::uint64_t resetInterval = lzxc.u32(0x0C) * unit, window = lzxc.u32(0x10) * unit;
    const std::uint64_t windowsPerReset = lzxc.u32(0x14);
    if (!lzxc.ok() || control.mid(4, 4) != "LZXC" || (version != 1 && version != 2)
        || window < (1u << 15) || window > (1u << 21) || (window & (window - 1)) != 0
        || resetInterval > 0xFFFFFFFFu)
        return damaged;
    const std::uint64_t resetBlocks = resetInterval / (window / 2) * windowsPerReset;
    if (resetBlocks == 0 || resetBlocks > kMaxResetBlocks)
        return damaged;

    if (resetEntry->length < 0x28 || resetEntry->length > kMaxDirectoryBytes)
        return damaged;
    const QByteArray table
        = readAt(file, layout.dataOffset + resetEntry->start, resetEntry->length);
    LittleEndianFields reset(table);
    const std::uint64_t blockCount = reset.u32(4), tableOffset = reset.u32(0x0C);
    uncompressed = reset.u64(0x10);
    const std::uint64_t compressed = reset.u64(0x18), frameBytes = reset.u64(0x20);
    if (!reset.ok() || reset.u32(0) != 2 || frameBytes != kLzxFrameBytes
        || uncompressed > kMaxUncompressedBytes || compressed > contentEntry->length
        || tableOffset + blockCount * 8 > resetEntry->length
        || blockCount * kLzxFrameBytes < uncompressed)
        return damaged;
    std::uint64_t previous = 0;
    for (std::uint64_t i = 0; i <= blockCount; ++i) {
        const std::uint64_t at
            = i < blockCount ? reset.u64(static_cast<qsizetype>(tableOffset + i * 8)) : compressed;
        if (at < previous || at > compressed
            || (i > 0 && at - previous > kLzxFrameBytes + kLzxSlackBytes))
            return damaged;
        previous = at;
    }
    return reset.ok() ? QString() : damaged;
}

}  // namespace

QString checkChmStructure(QFile& file, QList<ChmObject>& objects)
{
    objects.clear();
    Layout layout;
    QString error = checkHeaders(file, layout);
    if (error.isEmpty())
        error = readDirectory(file, layout, objects);
    const bool compressed = std::any_of(objects.cbegin(), objects.cend(),
                                        [](const ChmObject& o) { return o.space == 1; });
    std::uint64_t uncompressed = 0;
    if (error.isEmpty() && compressed)
        error = checkCompression(file, layout, objects, uncompressed);
    for (const ChmObject& object : objects) {
        const std::uint64_t limit
            = object.space == 0 ? layout.fileSize - layout.dataOffset : uncompressed;
        if (error.isEmpty() && (object.start > limit || object.length > limit - object.start))
            error = QStringLiteral("its directory points outside the file");
    }
    if (!error.isEmpty())
        objects.clear();
    return error;
}
