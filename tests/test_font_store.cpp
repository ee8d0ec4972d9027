#include "modcode.h"

#include <QTest>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

// A byte for every place in the glyph buffer, varied enough that a row copied
// to the wrong place or a row left uncleared shows.
std::uint8_t patternByte(int index)
{
    return std::uint8_t(index * 7 + 1 + index / 256);
}

// The store lives on the heap: it is a little large for the stack, and the
// tests need fresh ones.
std::unique_ptr<modCode> storeWithPattern()
{
    auto store = std::make_unique<modCode>();
    for (int i = 0; i <= modCode::lastGlyphIndex; ++i)
        store->glyphBuffer[i] = patternByte(i);
    return store;
}

}  // namespace

class TestFontStore : public QObject
{
    Q_OBJECT

private slots:
    void glyphBytesInsideTheBufferOnly_data();
    void glyphBytesInsideTheBufferOnly();
    void modifiedFlagKeepsAnyTruthValue();

    void packThenUnpackAtEveryHeight_data();
    void packThenUnpackAtEveryHeight();
    void packHeight128OverflowsAndKeepsTheTable();
    void packHeight127MakesTheLargestTable();

    void unpackReplacesRowsUpToTheFirstMissingByte_data();
    void unpackReplacesRowsUpToTheFirstMissingByte();

    void changingTheHeightKeepsHiddenRows();
};

void TestFontStore::glyphBytesInsideTheBufferOnly_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("inside");
    QTest::newRow("first") << 0 << true;
    QTest::newRow("the spare last byte") << 8192 << true;
    QTest::newRow("one past the end") << 8193 << false;
    QTest::newRow("minus one") << -1 << false;
    QTest::newRow("most negative") << -32768 << false;
    QTest::newRow("largest") << 32767 << false;
}

// A byte inside the buffer is read and written in its place; one outside
// throws and changes nothing.
void TestFontStore::glyphBytesInsideTheBufferOnly()
{
    QFETCH(int, index);
    QFETCH(bool, inside);
    auto store = storeWithPattern();
    auto expected = store->glyphBuffer;
    if (inside) {
        QCOMPARE(store->getGlyphByte(std::int16_t(index)), patternByte(index));
        store->setGlyphByte(std::int16_t(index), 0xA5);
        QCOMPARE(store->getGlyphByte(std::int16_t(index)), 0xA5);
        expected[std::size_t(index)] = 0xA5;
    } else {
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store->getGlyphByte(std::int16_t(index)));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store->setGlyphByte(std::int16_t(index), 0xFF));
    }
    QVERIFY(store->glyphBuffer == expected);
}

void TestFontStore::modifiedFlagKeepsAnyTruthValue()
{
    modCode store;
    QCOMPARE(store.isModified(), truthFalse);
    store.setModified(truthTrue);
    QCOMPARE(store.isModified(), TruthValue(-1));
    store.setModified(5);  // any non-zero value counts as true
    QVERIFY(store.isModified() != 0);
    store.setModified(truthFalse);
    QCOMPARE(store.isModified(), truthFalse);
}

void TestFontStore::packThenUnpackAtEveryHeight_data()
{
    QTest::addColumn<int>("height");
    for (int height = 1; height <= modCode::maxCharHeight; ++height)
        QTest::addRow("height %d", height) << height;
}

void TestFontStore::packThenUnpackAtEveryHeight()
{
    QFETCH(int, height);
    auto source = storeWithPattern();
    source->charHeight = std::uint8_t(height);
    source->packFontTable();

    // At height 14 glyph 1 starts at index 14; at 32 the table is the whole
    // buffer but its spare last byte.
    QCOMPARE(source->fontTable.size(), std::size_t(256 * height));
    for (int code = 0; code < 256; ++code)
        for (int row = 0; row < height; ++row)
            QCOMPARE(source->fontTable[code * height + row], patternByte(code * 32 + row));

    // Unpacking into a store full of other bytes brings back the visible rows
    // and clears the hidden ones; the spare last byte stays.
    auto target = storeWithPattern();
    target->glyphBuffer.fill(0xEE);
    target->charHeight = std::uint8_t(height);
    target->fontTable = source->fontTable;
    target->unpackFontTable();

    for (int code = 0; code < 256; ++code)
        for (int row = 0; row < 32; ++row)
            QCOMPARE(target->glyphBuffer[code * 32 + row], row < height ? patternByte(code * 32 + row) : 0);
    QCOMPARE(target->glyphBuffer[8192], 0xEE);
}

void TestFontStore::packHeight128OverflowsAndKeepsTheTable()
{
    auto store = storeWithPattern();
    store->fontTable = {1, 2, 3};
    for (const std::uint8_t height : {128, 255}) {
        store->charHeight = height;
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, store->packFontTable());
        QCOMPARE(store->fontTable, (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

void TestFontStore::packHeight127MakesTheLargestTable()
{
    auto store = storeWithPattern();
    store->charHeight = 127;
    // The last glyphs at this height reach past the glyph buffer; a bounds
    // error there is acceptable, but not an overflow.
    try {
        store->packFontTable();
    } catch (const std::out_of_range&) {
    }
    QCOMPARE(store->fontTable.size(), std::size_t(32512));
    // Glyph 252 is the last whose 127 rows all lie inside the buffer.
    for (int code : {0, 1, 252})
        for (int row = 0; row < 127; ++row)
            QCOMPARE(store->fontTable[code * 127 + row], patternByte(code * 32 + row));
}

void TestFontStore::unpackReplacesRowsUpToTheFirstMissingByte_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("tableSize");
    QTest::newRow("height 0, no table") << 0 << 0;
    QTest::newRow("empty") << 8 << 0;
    QTest::newRow("one glyph") << 8 << 8;
    QTest::newRow("one byte short") << 8 << 2047;
}

// Every row before the first missing table byte is replaced (visible rows
// from the table, hidden rows cleared), then a missing byte throws; the rest
// is untouched. Height 0 needs no table and clears every row.
void TestFontStore::unpackReplacesRowsUpToTheFirstMissingByte()
{
    QFETCH(int, height);
    QFETCH(int, tableSize);
    auto store = storeWithPattern();
    store->charHeight = std::uint8_t(height);
    store->fontTable.assign(std::size_t(tableSize), 0x55);

    const bool whole = tableSize >= 256 * height;
    if (whole)
        store->unpackFontTable();
    else
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, store->unpackFontTable());

    const int firstUntouched = whole ? 8192 : tableSize / height * 32 + tableSize % height;
    for (int i = 0; i <= 8192; ++i) {
        const int row = i % 32;
        const std::uint8_t expected = i >= firstUntouched ? patternByte(i) : row < height ? 0x55 : 0;
        QCOMPARE(store->glyphBuffer[i], expected);
    }
}

void TestFontStore::changingTheHeightKeepsHiddenRows()
{
    auto store = storeWithPattern();
    store->charHeight = 16;
    store->packFontTable();
    const std::vector<std::uint8_t> packedAt16 = store->fontTable;

    store->charHeight = 8;
    store->packFontTable();
    QCOMPARE(store->fontTable.size(), std::size_t(2048));

    store->charHeight = 16;
    store->packFontTable();
    QCOMPARE(store->fontTable, packedAt16);
}

QTEST_GUILESS_MAIN(TestFontStore)
#include "test_font_store.moc"
