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
    void glyphBytesAcceptIndicesUpTo8192();
    void glyphBytesOutsideTheBufferThrowAndChangeNothing_data();
    void glyphBytesOutsideTheBufferThrowAndChangeNothing();
    void modifiedFlagKeepsAnyTruthValue();

    void packThenUnpackAtEveryHeight_data();
    void packThenUnpackAtEveryHeight();
    void packHeight14PutsGlyph1AtIndex14();
    void packHeight32CopiesTheWholeBufferButTheLastByte();
    void packHeight128OverflowsAndKeepsTheTable();
    void packHeight127MakesTheLargestTable();

    void unpackHeight0ClearsAndReadsNothing();
    void unpackFromTooShortTableThrowsAfterEarlierRows_data();
    void unpackFromTooShortTableThrowsAfterEarlierRows();

    void changingTheHeightKeepsHiddenRows();
};

void TestFontStore::glyphBytesAcceptIndicesUpTo8192()
{
    auto store = std::make_unique<modCode>();
    QCOMPARE(store->getGlyphByte(8192), 0);
    store->setGlyphByte(8192, 0xA5);
    QCOMPARE(store->getGlyphByte(8192), 0xA5);
    store->setGlyphByte(0, 0x81);
    QCOMPARE(store->getGlyphByte(0), 0x81);
    QCOMPARE(store->glyphBuffer[0], 0x81);
}

void TestFontStore::glyphBytesOutsideTheBufferThrowAndChangeNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("one past the end") << 8193;
    QTest::newRow("minus one") << -1;
    QTest::newRow("most negative") << -32768;
    QTest::newRow("largest") << 32767;
}

void TestFontStore::glyphBytesOutsideTheBufferThrowAndChangeNothing()
{
    QFETCH(int, index);
    auto store = storeWithPattern();
    const auto before = store->glyphBuffer;

    QVERIFY_THROWS_EXCEPTION(std::out_of_range, store->getGlyphByte(std::int16_t(index)));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, store->setGlyphByte(std::int16_t(index), 0xFF));
    QVERIFY(store->glyphBuffer == before);
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

void TestFontStore::packHeight14PutsGlyph1AtIndex14()
{
    modCode store;
    store.charHeight = 14;
    store.glyphBuffer[1 * 32 + 0] = 0x3C;
    store.glyphBuffer[1 * 32 + 13] = 0x81;
    store.glyphBuffer[1 * 32 + 14] = 0xFF;  // hidden at this height
    store.packFontTable();

    QCOMPARE(store.fontTable.size(), std::size_t(3584));
    QCOMPARE(store.fontTable[14], 0x3C);
    QCOMPARE(store.fontTable[27], 0x81);
    QCOMPARE(store.fontTable[28], 0);  // glyph 2, row 0
}

void TestFontStore::packHeight32CopiesTheWholeBufferButTheLastByte()
{
    auto store = storeWithPattern();
    store->charHeight = 32;
    store->packFontTable();
    QVERIFY(std::equal(store->fontTable.begin(), store->fontTable.end(), store->glyphBuffer.begin(),
                       store->glyphBuffer.begin() + 8192));
    QCOMPARE(store->fontTable.size(), std::size_t(8192));
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

void TestFontStore::unpackHeight0ClearsAndReadsNothing()
{
    auto store = storeWithPattern();
    store->charHeight = 0;
    store->unpackFontTable();  // no table at all
    QVERIFY(std::all_of(store->glyphBuffer.begin(), store->glyphBuffer.begin() + 8192, [](auto b) { return b == 0; }));
    QCOMPARE(store->glyphBuffer[8192], patternByte(8192));
}

void TestFontStore::unpackFromTooShortTableThrowsAfterEarlierRows_data()
{
    QTest::addColumn<int>("tableSize");
    QTest::newRow("empty") << 0;
    QTest::newRow("one glyph") << 8;
    QTest::newRow("one byte short") << 2047;
}

void TestFontStore::unpackFromTooShortTableThrowsAfterEarlierRows()
{
    QFETCH(int, tableSize);
    auto store = storeWithPattern();
    store->charHeight = 8;
    store->fontTable.assign(std::size_t(tableSize), 0x55);

    QVERIFY_THROWS_EXCEPTION(std::out_of_range, store->unpackFontTable());

    // Every row before the first missing table byte has been replaced (visible
    // rows from the table, hidden rows cleared); the rest is untouched.
    const int firstMissingCode = tableSize / 8;
    const int firstMissingRow = tableSize % 8;
    const int firstUntouched = firstMissingCode * 32 + firstMissingRow;
    for (int i = 0; i <= 8192; ++i) {
        const int row = i % 32;
        const std::uint8_t expected = i >= firstUntouched ? patternByte(i) : row < 8 ? 0x55 : 0;
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
