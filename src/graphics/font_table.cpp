// src/graphics/font_table.cpp — the stroke font compiled into the program.
//
// One glyph per line group: GLYPH(code) starts it, MOVE lifts the pen to a
// point, DRAW draws a straight stroke to a point. Points are font units in
// the 70 × 70 cell, y up from the baseline. The pen style: straight strokes
// only, x from 10 to 50, capitals 70 high, small letters 50, descenders to
// −20, corners cut at 10 units. Letters that look alike in other fonts are
// kept apart on purpose: the zero is narrow with small cuts and the capital O
// wide with large ones; 1 has a flag, l a foot, I serifs; 3 has a flat top
// and З a round one; Б a flat roof and 6 a round one; б a rising flag.
//
// Encoding (two bytes per entry, see text.h): a move to x is stored as
// 256 − x, so a move can reach x from 2 to 128 and never x = 0 or 1; no
// point may have y = −1, whose byte would read as a glyph start. Two
// characters are symbols: "&" is the radical sign (it reaches 70 units below
// the baseline) and "^" a large tick reaching past the cell.
//
// The table must stay within kFontTableReadLimit bytes, end pair included.
#include <cstdint>

#include "graphics/text.h"

namespace gfx {

namespace {
constexpr std::uint8_t Byte(int v) { return static_cast<std::uint8_t>(v); }
}  // namespace

#define GLYPH(code) Byte(code), kGlyphStart
#define MOVE(x, y) Byte(256 - (x)), Byte(y)
#define DRAW(x, y) Byte(x), Byte(y)

const std::uint8_t kFontTable[] = {
    // space
    GLYPH(' '),
    // !
    GLYPH('!'), MOVE(30, 70), DRAW(30, 20), MOVE(30, 5), DRAW(30, 0),
    // "
    GLYPH('"'), MOVE(20, 70), DRAW(20, 50), MOVE(40, 70), DRAW(40, 50),
    // #
    GLYPH('#'), MOVE(20, 10), DRAW(20, 60), MOVE(40, 10), DRAW(40, 60), MOVE(10, 25), DRAW(50, 25),
        MOVE(10, 45), DRAW(50, 45),
    // $
    GLYPH('$'), MOVE(50, 60), DRAW(40, 65), DRAW(20, 65), DRAW(10, 57), DRAW(10, 43), DRAW(20, 35),
        DRAW(40, 35), DRAW(50, 27), DRAW(50, 13), DRAW(40, 5), DRAW(20, 5), DRAW(10, 10),
        MOVE(30, 75), DRAW(30, -5),
    // %
    GLYPH('%'), MOVE(10, 0), DRAW(50, 70), MOVE(10, 70), DRAW(10, 50), DRAW(25, 50), DRAW(25, 70),
        DRAW(10, 70), MOVE(35, 20), DRAW(35, 0), DRAW(50, 0), DRAW(50, 20), DRAW(35, 20),
    // & — the radical sign
    GLYPH('&'), MOVE(2, 0), DRAW(30, -70), DRAW(70, 70),
    // '
    GLYPH('\''), MOVE(30, 70), DRAW(30, 50),
    // (
    GLYPH('('), MOVE(40, 75), DRAW(25, 55), DRAW(25, 15), DRAW(40, -5),
    // )
    GLYPH(')'), MOVE(20, 75), DRAW(35, 55), DRAW(35, 15), DRAW(20, -5),
    // *
    GLYPH('*'), MOVE(30, 60), DRAW(30, 10), MOVE(10, 50), DRAW(50, 20), MOVE(10, 20), DRAW(50, 50),
    // +
    GLYPH('+'), MOVE(30, 55), DRAW(30, 15), MOVE(10, 35), DRAW(50, 35),
    // ,
    GLYPH(','), MOVE(30, 5), DRAW(30, 0), DRAW(20, -10),
    // -
    GLYPH('-'), MOVE(15, 35), DRAW(45, 35),
    // .
    GLYPH('.'), MOVE(30, 5), DRAW(30, 0),
    // /
    GLYPH('/'), MOVE(10, 0), DRAW(50, 70),
    // 0
    GLYPH('0'), MOVE(10, 10), DRAW(10, 60), DRAW(20, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 10),
        DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // 1
    GLYPH('1'), MOVE(15, 55), DRAW(35, 70), DRAW(35, 0),
    // 2
    GLYPH('2'), MOVE(10, 60), DRAW(20, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 45), DRAW(10, 0),
        DRAW(50, 0),
    // 3
    GLYPH('3'), MOVE(10, 70), DRAW(50, 70), DRAW(30, 40), DRAW(40, 40), DRAW(50, 30), DRAW(50, 10),
        DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // 4
    GLYPH('4'), MOVE(40, 0), DRAW(40, 70), DRAW(10, 20), DRAW(50, 20),
    // 5
    GLYPH('5'), MOVE(50, 70), DRAW(10, 70), DRAW(10, 40), DRAW(40, 40), DRAW(50, 30), DRAW(50, 10),
        DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // 6
    GLYPH('6'), MOVE(50, 60), DRAW(40, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 10), DRAW(20, 0),
        DRAW(40, 0), DRAW(50, 10), DRAW(50, 30), DRAW(40, 40), DRAW(10, 40),
    // 7
    GLYPH('7'), MOVE(10, 70), DRAW(50, 70), DRAW(20, 0),
    // 8
    GLYPH('8'), MOVE(20, 40), DRAW(10, 50), DRAW(10, 60), DRAW(20, 70), DRAW(40, 70), DRAW(50, 60),
        DRAW(50, 50), DRAW(40, 40), DRAW(50, 30), DRAW(50, 10), DRAW(40, 0), DRAW(20, 0),
        DRAW(10, 10), DRAW(10, 30), DRAW(20, 40), DRAW(40, 40),
    // 9
    GLYPH('9'), MOVE(50, 30), DRAW(20, 30), DRAW(10, 40), DRAW(10, 60), DRAW(20, 70), DRAW(40, 70),
        DRAW(50, 60), DRAW(50, 10), DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // :
    GLYPH(':'), MOVE(30, 45), DRAW(30, 40), MOVE(30, 5), DRAW(30, 0),
    // ;
    GLYPH(';'), MOVE(30, 45), DRAW(30, 40), MOVE(30, 5), DRAW(30, 0), DRAW(20, -10),
    // <
    GLYPH('<'), MOVE(50, 60), DRAW(10, 35), DRAW(50, 10),
    // =
    GLYPH('='), MOVE(10, 45), DRAW(50, 45), MOVE(10, 25), DRAW(50, 25),
    // >
    GLYPH('>'), MOVE(10, 60), DRAW(50, 35), DRAW(10, 10),
    // ?
    GLYPH('?'), MOVE(10, 60), DRAW(20, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 45), DRAW(30, 30),
        DRAW(30, 20), MOVE(30, 5), DRAW(30, 0),
    // @
    GLYPH('@'), MOVE(40, 20), DRAW(40, 45), DRAW(20, 45), DRAW(20, 20), DRAW(50, 20), DRAW(50, 60),
        DRAW(40, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 10), DRAW(20, 0), DRAW(50, 0),
    // A
    GLYPH('A'), MOVE(10, 0), DRAW(40, 70), DRAW(50, 0), MOVE(20, 20), DRAW(50, 20),
    // B
    GLYPH('B'), MOVE(10, 40), DRAW(40, 40), DRAW(50, 50), DRAW(50, 60), DRAW(40, 70), DRAW(10, 70),
        DRAW(10, 0), DRAW(40, 0), DRAW(50, 10), DRAW(50, 30), DRAW(40, 40),
    // C
    GLYPH('C'), MOVE(50, 60), DRAW(40, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 10), DRAW(20, 0),
        DRAW(40, 0), DRAW(50, 10),
    // D
    GLYPH('D'), MOVE(10, 0), DRAW(10, 70), DRAW(35, 70), DRAW(50, 55), DRAW(50, 15), DRAW(35, 0),
        DRAW(10, 0),
    // E
    GLYPH('E'), MOVE(50, 70), DRAW(10, 70), DRAW(10, 0), DRAW(50, 0), MOVE(10, 40), DRAW(40, 40),
    // F
    GLYPH('F'), MOVE(50, 70), DRAW(10, 70), DRAW(10, 0), MOVE(10, 40), DRAW(40, 40),
    // G
    GLYPH('G'), MOVE(50, 60), DRAW(40, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 10), DRAW(20, 0),
        DRAW(40, 0), DRAW(50, 10), DRAW(50, 30), DRAW(30, 30),
    // H
    GLYPH('H'), MOVE(10, 70), DRAW(10, 0), MOVE(10, 40), DRAW(50, 40), MOVE(50, 0), DRAW(50, 70),
    // I
    GLYPH('I'), MOVE(20, 70), DRAW(40, 70), MOVE(30, 70), DRAW(30, 0), MOVE(20, 0), DRAW(40, 0),
    // J
    GLYPH('J'), MOVE(30, 70), DRAW(50, 70), DRAW(50, 10), DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // K
    GLYPH('K'), MOVE(10, 70), DRAW(10, 0), MOVE(50, 70), DRAW(10, 30), MOVE(25, 45), DRAW(50, 0),
    // L
    GLYPH('L'), MOVE(10, 70), DRAW(10, 0), DRAW(50, 0),
    // M
    GLYPH('M'), MOVE(10, 0), DRAW(10, 70), DRAW(30, 30), DRAW(50, 70), DRAW(50, 0),
    // N
    GLYPH('N'), MOVE(10, 0), DRAW(10, 70), DRAW(50, 0), DRAW(50, 70),
    // O
    GLYPH('O'), MOVE(5, 20), DRAW(5, 50), DRAW(25, 70), DRAW(35, 70), DRAW(55, 50), DRAW(55, 20),
        DRAW(35, 0), DRAW(25, 0), DRAW(5, 20),
    // P
    GLYPH('P'), MOVE(10, 0), DRAW(10, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 40), DRAW(40, 30),
        DRAW(10, 30),
    // Q
    GLYPH('Q'), MOVE(5, 20), DRAW(5, 50), DRAW(25, 70), DRAW(35, 70), DRAW(55, 50), DRAW(55, 20),
        DRAW(35, 0), DRAW(25, 0), DRAW(5, 20), MOVE(35, 20), DRAW(55, -5),
    // R
    GLYPH('R'), MOVE(10, 0), DRAW(10, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 40), DRAW(40, 30),
        DRAW(10, 30), MOVE(30, 30), DRAW(50, 0),
    // S
    GLYPH('S'), MOVE(50, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 45), DRAW(20, 35), DRAW(40, 35),
        DRAW(50, 25), DRAW(50, 10), DRAW(40, 0), DRAW(10, 0),
    // T
    GLYPH('T'), MOVE(10, 70), DRAW(50, 70), MOVE(30, 70), DRAW(30, 0),
    // U
    GLYPH('U'), MOVE(10, 70), DRAW(10, 10), DRAW(20, 0), DRAW(40, 0), DRAW(50, 10), DRAW(50, 70),
    // V
    GLYPH('V'), MOVE(10, 70), DRAW(30, 0), DRAW(50, 70),
    // W
    GLYPH('W'), MOVE(10, 70), DRAW(20, 0), DRAW(30, 40), DRAW(40, 0), DRAW(50, 70),
    // X
    GLYPH('X'), MOVE(10, 70), DRAW(50, 0), MOVE(10, 0), DRAW(50, 70),
    // Y
    GLYPH('Y'), MOVE(10, 70), DRAW(30, 35), DRAW(50, 70), MOVE(30, 35), DRAW(30, 0),
    // Z
    GLYPH('Z'), MOVE(10, 70), DRAW(50, 70), DRAW(10, 0), DRAW(50, 0),
    // [
    GLYPH('['), MOVE(40, 75), DRAW(25, 75), DRAW(25, -5), DRAW(40, -5),
    // backslash
    GLYPH('\\'), MOVE(10, 70), DRAW(50, 0),
    // ]
    GLYPH(']'), MOVE(20, 75), DRAW(35, 75), DRAW(35, -5), DRAW(20, -5),
    // ^ — the large tick
    GLYPH('^'), MOVE(10, 80), DRAW(50, 127), DRAW(110, 20),
    // _
    GLYPH('_'), MOVE(10, -10), DRAW(50, -10),
    // `
    GLYPH('`'), MOVE(25, 70), DRAW(35, 55),
    // a
    GLYPH('a'), MOVE(50, 10), DRAW(40, 0), DRAW(20, 0), DRAW(10, 10), DRAW(10, 40), DRAW(20, 50),
        DRAW(50, 50), DRAW(50, 0),
    // b
    GLYPH('b'), MOVE(10, 70), DRAW(10, 0), DRAW(40, 0), DRAW(50, 10), DRAW(50, 40), DRAW(40, 50),
        DRAW(10, 50),
    // c
    GLYPH('c'), MOVE(50, 40), DRAW(40, 50), DRAW(20, 50), DRAW(10, 40), DRAW(10, 10), DRAW(20, 0),
        DRAW(40, 0), DRAW(50, 10),
    // d
    GLYPH('d'), MOVE(50, 70), DRAW(50, 0), DRAW(20, 0), DRAW(10, 10), DRAW(10, 40), DRAW(20, 50),
        DRAW(50, 50),
    // e
    GLYPH('e'), MOVE(10, 25), DRAW(50, 25), DRAW(50, 40), DRAW(40, 50), DRAW(20, 50), DRAW(10, 40),
        DRAW(10, 10), DRAW(20, 0), DRAW(50, 0),
    // f
    GLYPH('f'), MOVE(50, 70), DRAW(35, 70), DRAW(25, 60), DRAW(25, 0), MOVE(10, 50), DRAW(45, 50),
    // g
    GLYPH('g'), MOVE(10, -20), DRAW(40, -20), DRAW(50, -10), DRAW(50, 50), DRAW(20, 50),
        DRAW(10, 40), DRAW(10, 10), DRAW(20, 0), DRAW(50, 0),
    // h
    GLYPH('h'), MOVE(10, 70), DRAW(10, 0), MOVE(10, 40), DRAW(20, 50), DRAW(40, 50), DRAW(50, 40),
        DRAW(50, 0),
    // i
    GLYPH('i'), MOVE(30, 50), DRAW(30, 0), MOVE(30, 70), DRAW(30, 65),
    // j
    GLYPH('j'), MOVE(35, 50), DRAW(35, -10), DRAW(25, -20), DRAW(10, -20), MOVE(35, 70),
        DRAW(35, 65),
    // k
    GLYPH('k'), MOVE(10, 70), DRAW(10, 0), MOVE(45, 50), DRAW(10, 15), MOVE(25, 30), DRAW(50, 0),
    // l
    GLYPH('l'), MOVE(20, 70), DRAW(30, 70), DRAW(30, 10), DRAW(40, 0),
    // m
    GLYPH('m'), MOVE(10, 0), DRAW(10, 50), DRAW(20, 50), DRAW(30, 40), DRAW(30, 0), MOVE(30, 40),
        DRAW(40, 50), DRAW(50, 40), DRAW(50, 0),
    // n
    GLYPH('n'), MOVE(10, 50), DRAW(10, 0), MOVE(10, 40), DRAW(20, 50), DRAW(40, 50), DRAW(50, 40),
        DRAW(50, 0),
    // o
    GLYPH('o'), MOVE(10, 10), DRAW(10, 40), DRAW(20, 50), DRAW(40, 50), DRAW(50, 40), DRAW(50, 10),
        DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // p
    GLYPH('p'), MOVE(10, -20), DRAW(10, 50), DRAW(40, 50), DRAW(50, 40), DRAW(50, 10), DRAW(40, 0),
        DRAW(10, 0),
    // q
    GLYPH('q'), MOVE(50, -20), DRAW(50, 50), DRAW(20, 50), DRAW(10, 40), DRAW(10, 10), DRAW(20, 0),
        DRAW(50, 0),
    // r
    GLYPH('r'), MOVE(10, 50), DRAW(10, 0), MOVE(10, 35), DRAW(25, 50), DRAW(50, 50),
    // s
    GLYPH('s'), MOVE(50, 50), DRAW(20, 50), DRAW(10, 40), DRAW(20, 25), DRAW(40, 25), DRAW(50, 10),
        DRAW(40, 0), DRAW(10, 0),
    // t
    GLYPH('t'), MOVE(25, 70), DRAW(25, 10), DRAW(35, 0), DRAW(45, 0), MOVE(10, 50), DRAW(45, 50),
    // u
    GLYPH('u'), MOVE(10, 50), DRAW(10, 10), DRAW(20, 0), DRAW(40, 0), DRAW(50, 10), MOVE(50, 50),
        DRAW(50, 0),
    // v
    GLYPH('v'), MOVE(10, 50), DRAW(30, 0), DRAW(50, 50),
    // w
    GLYPH('w'), MOVE(10, 50), DRAW(20, 0), DRAW(30, 30), DRAW(40, 0), DRAW(50, 50),
    // x
    GLYPH('x'), MOVE(10, 50), DRAW(50, 0), MOVE(10, 0), DRAW(50, 50),
    // y
    GLYPH('y'), MOVE(10, 50), DRAW(30, 0), MOVE(50, 50), DRAW(22, -20),
    // z
    GLYPH('z'), MOVE(10, 50), DRAW(50, 50), DRAW(10, 0), DRAW(50, 0),
    // |
    GLYPH('|'), MOVE(30, 75), DRAW(30, -5),
    // А
    GLYPH(0x80), MOVE(10, 0), DRAW(40, 70), DRAW(50, 0), MOVE(20, 20), DRAW(50, 20),
    // Б
    GLYPH(0x81), MOVE(50, 70), DRAW(10, 70), DRAW(10, 0), DRAW(40, 0), DRAW(50, 10), DRAW(50, 30),
        DRAW(40, 40), DRAW(10, 40),
    // В
    GLYPH(0x82), MOVE(10, 40), DRAW(40, 40), DRAW(50, 50), DRAW(50, 60), DRAW(40, 70),
        DRAW(10, 70), DRAW(10, 0), DRAW(40, 0), DRAW(50, 10), DRAW(50, 30), DRAW(40, 40),
    // Г
    GLYPH(0x83), MOVE(50, 70), DRAW(10, 70), DRAW(10, 0),
    // Д
    GLYPH(0x84), MOVE(5, -15), DRAW(5, 0), DRAW(55, 0), DRAW(55, -15), MOVE(12, 0), DRAW(22, 70),
        DRAW(45, 70), DRAW(45, 0),
    // Е
    GLYPH(0x85), MOVE(50, 70), DRAW(10, 70), DRAW(10, 0), DRAW(50, 0), MOVE(10, 40), DRAW(40, 40),
    // Ж
    GLYPH(0x86), MOVE(30, 0), DRAW(30, 70), MOVE(5, 70), DRAW(30, 35), DRAW(5, 0), MOVE(55, 70),
        DRAW(30, 35), DRAW(55, 0),
    // З
    GLYPH(0x87), MOVE(10, 60), DRAW(20, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 45),
        DRAW(40, 35), DRAW(20, 35), MOVE(40, 35), DRAW(50, 25), DRAW(50, 10), DRAW(40, 0),
        DRAW(20, 0), DRAW(10, 10),
    // И
    GLYPH(0x88), MOVE(10, 70), DRAW(10, 0), DRAW(50, 70), DRAW(50, 0),
    // Й
    GLYPH(0x89), MOVE(10, 70), DRAW(10, 0), DRAW(50, 70), DRAW(50, 0), MOVE(20, 85), DRAW(30, 77),
        DRAW(40, 85),
    // К
    GLYPH(0x8A), MOVE(10, 70), DRAW(10, 0), MOVE(50, 70), DRAW(10, 30), MOVE(25, 45), DRAW(50, 0),
    // Л
    GLYPH(0x8B), MOVE(10, 0), DRAW(20, 10), DRAW(25, 70), DRAW(50, 70), DRAW(50, 0),
    // М
    GLYPH(0x8C), MOVE(10, 0), DRAW(10, 70), DRAW(30, 30), DRAW(50, 70), DRAW(50, 0),
    // Н
    GLYPH(0x8D), MOVE(10, 70), DRAW(10, 0), MOVE(10, 40), DRAW(50, 40), MOVE(50, 0), DRAW(50, 70),
    // О
    GLYPH(0x8E), MOVE(5, 20), DRAW(5, 50), DRAW(25, 70), DRAW(35, 70), DRAW(55, 50), DRAW(55, 20),
        DRAW(35, 0), DRAW(25, 0), DRAW(5, 20),
    // П
    GLYPH(0x8F), MOVE(10, 0), DRAW(10, 70), DRAW(50, 70), DRAW(50, 0),
    // Р
    GLYPH(0x90), MOVE(10, 0), DRAW(10, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 40), DRAW(40, 30),
        DRAW(10, 30),
    // С
    GLYPH(0x91), MOVE(50, 60), DRAW(40, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 10), DRAW(20, 0),
        DRAW(40, 0), DRAW(50, 10),
    // Т
    GLYPH(0x92), MOVE(10, 70), DRAW(50, 70), MOVE(30, 70), DRAW(30, 0),
    // У
    GLYPH(0x93), MOVE(10, 70), DRAW(34, 30), MOVE(50, 70), DRAW(22, 0), DRAW(12, 0),
    // Ф
    GLYPH(0x94), MOVE(30, 0), DRAW(30, 70), MOVE(15, 60), DRAW(5, 50), DRAW(5, 30), DRAW(15, 20),
        DRAW(45, 20), DRAW(55, 30), DRAW(55, 50), DRAW(45, 60), DRAW(15, 60),
    // Х
    GLYPH(0x95), MOVE(10, 70), DRAW(50, 0), MOVE(10, 0), DRAW(50, 70),
    // Ц
    GLYPH(0x96), MOVE(10, 70), DRAW(10, 0), DRAW(55, 0), DRAW(55, -15), MOVE(45, 0), DRAW(45, 70),
    // Ч
    GLYPH(0x97), MOVE(10, 70), DRAW(10, 45), DRAW(20, 35), DRAW(50, 35), MOVE(50, 70), DRAW(50, 0),
    // Ш
    GLYPH(0x98), MOVE(5, 70), DRAW(5, 0), DRAW(55, 0), DRAW(55, 70), MOVE(30, 70), DRAW(30, 0),
    // Щ
    GLYPH(0x99), MOVE(5, 70), DRAW(5, 0), DRAW(60, 0), DRAW(60, -15), MOVE(28, 70), DRAW(28, 0),
        MOVE(50, 70), DRAW(50, 0),
    // Ъ
    GLYPH(0x9A), MOVE(5, 70), DRAW(15, 70), DRAW(15, 0), DRAW(45, 0), DRAW(55, 10), DRAW(55, 30),
        DRAW(45, 40), DRAW(15, 40),
    // Ы
    GLYPH(0x9B), MOVE(10, 70), DRAW(10, 0), DRAW(30, 0), DRAW(40, 10), DRAW(40, 30), DRAW(30, 40),
        DRAW(10, 40), MOVE(52, 70), DRAW(52, 0),
    // Ь
    GLYPH(0x9C), MOVE(10, 70), DRAW(10, 0), DRAW(40, 0), DRAW(50, 10), DRAW(50, 30), DRAW(40, 40),
        DRAW(10, 40),
    // Э
    GLYPH(0x9D), MOVE(10, 60), DRAW(20, 70), DRAW(40, 70), DRAW(50, 60), DRAW(50, 10), DRAW(40, 0),
        DRAW(20, 0), DRAW(10, 10), MOVE(25, 35), DRAW(50, 35),
    // Ю
    GLYPH(0x9E), MOVE(5, 70), DRAW(5, 0), MOVE(5, 35), DRAW(20, 35), DRAW(20, 60), DRAW(30, 70),
        DRAW(45, 70), DRAW(55, 60), DRAW(55, 10), DRAW(45, 0), DRAW(30, 0), DRAW(20, 10),
        DRAW(20, 35),
    // Я
    GLYPH(0x9F), MOVE(50, 0), DRAW(50, 70), DRAW(20, 70), DRAW(10, 60), DRAW(10, 40), DRAW(20, 30),
        DRAW(50, 30), MOVE(30, 30), DRAW(10, 0),
    // а
    GLYPH(0xA0), MOVE(50, 10), DRAW(40, 0), DRAW(20, 0), DRAW(10, 10), DRAW(10, 40), DRAW(20, 50),
        DRAW(50, 50), DRAW(50, 0),
    // б
    GLYPH(0xA1), MOVE(50, 72), DRAW(10, 55), DRAW(10, 10), DRAW(20, 0), DRAW(40, 0), DRAW(50, 10),
        DRAW(50, 35), DRAW(40, 45), DRAW(10, 45),
    // в
    GLYPH(0xA2), MOVE(10, 28), DRAW(40, 28), DRAW(47, 35), DRAW(47, 43), DRAW(40, 50),
        DRAW(10, 50), DRAW(10, 0), DRAW(40, 0), DRAW(50, 8), DRAW(50, 20), DRAW(40, 28),
    // г
    GLYPH(0xA3), MOVE(50, 50), DRAW(10, 50), DRAW(10, 0),
    // д
    GLYPH(0xA4), MOVE(5, -15), DRAW(5, 0), DRAW(55, 0), DRAW(55, -15), MOVE(12, 0), DRAW(22, 50),
        DRAW(45, 50), DRAW(45, 0),
    // е
    GLYPH(0xA5), MOVE(10, 25), DRAW(50, 25), DRAW(50, 40), DRAW(40, 50), DRAW(20, 50),
        DRAW(10, 40), DRAW(10, 10), DRAW(20, 0), DRAW(50, 0),
    // ж
    GLYPH(0xA6), MOVE(30, 0), DRAW(30, 50), MOVE(5, 50), DRAW(30, 25), DRAW(5, 0), MOVE(55, 50),
        DRAW(30, 25), DRAW(55, 0),
    // з
    GLYPH(0xA7), MOVE(10, 42), DRAW(18, 50), DRAW(42, 50), DRAW(50, 42), DRAW(50, 33),
        DRAW(42, 25), DRAW(22, 25), MOVE(42, 25), DRAW(50, 17), DRAW(50, 8), DRAW(42, 0),
        DRAW(18, 0), DRAW(10, 8),
    // и
    GLYPH(0xA8), MOVE(10, 50), DRAW(10, 0), DRAW(50, 50), DRAW(50, 0),
    // й
    GLYPH(0xA9), MOVE(10, 50), DRAW(10, 0), DRAW(50, 50), DRAW(50, 0), MOVE(20, 68), DRAW(30, 60),
        DRAW(40, 68),
    // к
    GLYPH(0xAA), MOVE(10, 50), DRAW(10, 0), MOVE(45, 50), DRAW(10, 15), MOVE(25, 30), DRAW(50, 0),
    // л
    GLYPH(0xAB), MOVE(10, 0), DRAW(20, 10), DRAW(25, 50), DRAW(50, 50), DRAW(50, 0),
    // м
    GLYPH(0xAC), MOVE(10, 0), DRAW(10, 50), DRAW(30, 20), DRAW(50, 50), DRAW(50, 0),
    // н
    GLYPH(0xAD), MOVE(10, 50), DRAW(10, 0), MOVE(10, 25), DRAW(50, 25), MOVE(50, 50), DRAW(50, 0),
    // о
    GLYPH(0xAE), MOVE(10, 10), DRAW(10, 40), DRAW(20, 50), DRAW(40, 50), DRAW(50, 40),
        DRAW(50, 10), DRAW(40, 0), DRAW(20, 0), DRAW(10, 10),
    // п
    GLYPH(0xAF), MOVE(10, 0), DRAW(10, 50), DRAW(50, 50), DRAW(50, 0),
    // р
    GLYPH(0xE0), MOVE(10, -20), DRAW(10, 50), DRAW(40, 50), DRAW(50, 40), DRAW(50, 10),
        DRAW(40, 0), DRAW(10, 0),
    // с
    GLYPH(0xE1), MOVE(50, 40), DRAW(40, 50), DRAW(20, 50), DRAW(10, 40), DRAW(10, 10), DRAW(20, 0),
        DRAW(40, 0), DRAW(50, 10),
    // т
    GLYPH(0xE2), MOVE(10, 50), DRAW(50, 50), MOVE(30, 50), DRAW(30, 0),
    // у
    GLYPH(0xE3), MOVE(10, 50), DRAW(30, 0), MOVE(50, 50), DRAW(22, -20),
    // ф
    GLYPH(0xE4), MOVE(30, 70), DRAW(30, -20), MOVE(15, 50), DRAW(5, 40), DRAW(5, 10), DRAW(15, 0),
        DRAW(45, 0), DRAW(55, 10), DRAW(55, 40), DRAW(45, 50), DRAW(15, 50),
    // х
    GLYPH(0xE5), MOVE(10, 50), DRAW(50, 0), MOVE(10, 0), DRAW(50, 50),
    // ц
    GLYPH(0xE6), MOVE(10, 50), DRAW(10, 0), DRAW(55, 0), DRAW(55, -15), MOVE(45, 0), DRAW(45, 50),
    // ч
    GLYPH(0xE7), MOVE(10, 50), DRAW(10, 30), DRAW(20, 20), DRAW(50, 20), MOVE(50, 50), DRAW(50, 0),
    // ш
    GLYPH(0xE8), MOVE(5, 50), DRAW(5, 0), DRAW(55, 0), DRAW(55, 50), MOVE(30, 50), DRAW(30, 0),
    // щ
    GLYPH(0xE9), MOVE(5, 50), DRAW(5, 0), DRAW(60, 0), DRAW(60, -15), MOVE(28, 50), DRAW(28, 0),
        MOVE(50, 50), DRAW(50, 0),
    // ъ
    GLYPH(0xEA), MOVE(5, 50), DRAW(15, 50), DRAW(15, 0), DRAW(45, 0), DRAW(55, 8), DRAW(55, 22),
        DRAW(45, 30), DRAW(15, 30),
    // ы
    GLYPH(0xEB), MOVE(10, 50), DRAW(10, 0), DRAW(30, 0), DRAW(40, 8), DRAW(40, 22), DRAW(30, 30),
        DRAW(10, 30), MOVE(52, 50), DRAW(52, 0),
    // ь
    GLYPH(0xEC), MOVE(10, 50), DRAW(10, 0), DRAW(40, 0), DRAW(50, 8), DRAW(50, 22), DRAW(40, 30),
        DRAW(10, 30),
    // э
    GLYPH(0xED), MOVE(10, 42), DRAW(18, 50), DRAW(42, 50), DRAW(50, 42), DRAW(50, 8), DRAW(42, 0),
        DRAW(18, 0), DRAW(10, 8), MOVE(25, 25), DRAW(50, 25),
    // ю
    GLYPH(0xEE), MOVE(5, 50), DRAW(5, 0), MOVE(5, 25), DRAW(20, 25), DRAW(20, 42), DRAW(28, 50),
        DRAW(47, 50), DRAW(55, 42), DRAW(55, 8), DRAW(47, 0), DRAW(28, 0), DRAW(20, 8),
        DRAW(20, 25),
    // я
    GLYPH(0xEF), MOVE(50, 0), DRAW(50, 50), DRAW(20, 50), DRAW(10, 40), DRAW(10, 30), DRAW(20, 20),
        DRAW(50, 20), MOVE(30, 20), DRAW(10, 0),
    // Ё
    GLYPH(0xF0), MOVE(50, 70), DRAW(10, 70), DRAW(10, 0), DRAW(50, 0), MOVE(10, 40), DRAW(40, 40),
        MOVE(20, 80), DRAW(20, 85), MOVE(40, 80), DRAW(40, 85),
    // ё
    GLYPH(0xF1), MOVE(10, 25), DRAW(50, 25), DRAW(50, 40), DRAW(40, 50), DRAW(20, 50),
        DRAW(10, 40), DRAW(10, 10), DRAW(20, 0), DRAW(50, 0), MOVE(20, 60), DRAW(20, 65),
        MOVE(40, 60), DRAW(40, 65),

    // end of the table
    kTableEnd, 0,
};

#undef GLYPH
#undef MOVE
#undef DRAW

const int kFontTableBytes = static_cast<int>(sizeof kFontTable);

}  // namespace gfx
