// The grammars of FASTA and GenBank files. Node names are local enums;
// jumps to them are absolute (at(...)), relative ones are kNext and kSame.
#include "core/errors.h"
#include "io/sequence_internal.h"
#include "io/sequence_reader.h"

namespace {

// Shorthands for the table rows.
constexpr int kBlank = kLitBlank, kEol = kRecEndOfLine, kLineChar = kRecLineChar;
constexpr int kAlways = kRecAlways, kInteger = kRecInteger;

// ---- The sequence file --------------------------------------------------------
enum {
  S_BLANK,
  S_EMPTY,
  S_FASTA,
  S_LOCUS,
  S_DEF,
  S_DEF_EOF,
  S_DEF_SKIP,
  S_DEF_NEXT,
  S_DTEXT,
  S_DTEXT_EOL,
  S_DTEXT_ACC,
  S_DTEXT_CHAR,
  S_VERSION,
  S_FEAT,
  S_CDS,
  S_GENE,
  S_UTR5,
  S_UTR3,
  S_EXON,
  S_MRNA,
  S_ORIGIN,
  S_BASE,
  S_BASE_REST,
  S_BASE_EOL,
  S_OTHER,
  S_OTHER_LOC,
  S_OTHER_SLASH,
  S_OTHER_QUAL,
  S_OTHER_BLANK,
  S_OTHER_EMPTY,
  S_STORED,
  S_STORED_QUALS,
  S_ORIGIN_BLANK,
  S_ORIGIN_EOL,
  S_BODY,
  S_FA_TEXT,
  S_FA_EOL,
  S_FA_END,
  S_FA_BODY,
};
constexpr RawNode kSequenceFileRaw[] = {
    /* S_BLANK */ {kBlank, kSame, kNext, 0},
    /* S_EMPTY */ {kEol, at(S_BLANK), kNext, 0},
    /* S_FASTA */ {kLitGreater, at(S_FA_TEXT), kNext, kActFastaStart},
    /* S_LOCUS */ {kGrLocus, kNext, kNext, 0},
    // Lines up to the one that begins with DEFINITION.
    /* S_DEF */ {kLitDefinition, at(S_DTEXT), kNext, kActDefinitionStart},
    /* S_DEF_EOF */ {kLitEof, kErrInternal, kNext, 0},
    /* S_DEF_SKIP */ {kLineChar, kSame, kNext, 0},
    /* S_DEF_NEXT */ {kEol, at(S_DEF), at(S_DEF), 0},
    // Its text, blanks and line breaks collapsed, up to ACCESSION.
    /* S_DTEXT */ {kLitEof, kErrInternal, kNext, 0},
    /* S_DTEXT_EOL */ {kEol, kNext, at(S_DTEXT_CHAR), kActTextBlank},
    /* S_DTEXT_ACC */ {kLitAccession, at(S_VERSION), at(S_DTEXT), kActDefinitionEnd},
    /* S_DTEXT_CHAR */ {kLineChar, at(S_DTEXT), at(S_DTEXT), kActTextCharCollapse},
    // A record without features goes straight on to its sequence.
    /* S_VERSION */ {kGrVersionFeatures, kNext, at(S_ORIGIN_BLANK), 0},
    // Feature entries.
    /* S_FEAT */ {kBlank, kSame, kNext, 0},
    /* S_CDS */ {kLitCds, at(S_STORED), kNext, kActNewCds},
    /* S_GENE */ {kLitGene, at(S_STORED), kNext, kActNewGene},
    /* S_UTR5 */ {kLitUtr5, at(S_STORED), kNext, kActNewUtr5},
    /* S_UTR3 */ {kLitUtr3, at(S_STORED), kNext, kActNewUtr3},
    /* S_EXON */ {kLitExon, at(S_STORED), kNext, kActNewExon},
    /* S_MRNA */ {kLitMrna, at(S_STORED), kNext, kActNewMrna},
    /* S_ORIGIN */ {kLitOrigin, at(S_ORIGIN_BLANK), kNext, 0},
    /* S_BASE */ {kLitBase, kNext, at(S_OTHER), 0},
    /* S_BASE_REST */ {kLineChar, kSame, kNext, 0},
    /* S_BASE_EOL */ {kEol, at(S_FEAT), at(S_FEAT), 0},
    /* S_OTHER */ {kRecWord, kNext, kErrBadGenbankLine, kActSkipFeature},
    /* S_OTHER_LOC */ {kGrLocation, kNext, kErrBadGenbankLine, 0},
    /* S_OTHER_SLASH */ {kLitSlash, kNext, at(S_FEAT), 0},
    /* S_OTHER_QUAL */ {kGrSkippedQualifier, kNext, kErrBadGenbankLine, 0},
    /* S_OTHER_BLANK */ {kBlank, kSame, kNext, 0},
    /* S_OTHER_EMPTY */ {kEol, at(S_OTHER_BLANK), at(S_OTHER_SLASH), 0},
    /* S_STORED */ {kGrLocation, kNext, kErrBadCoordinates, 0},
    /* S_STORED_QUALS */ {kGrStoredQualifiers, at(S_FEAT), at(S_FEAT), 0},
    // Old entries may say something after ORIGIN.
    /* S_ORIGIN_BLANK */ {kLineChar, kSame, kNext, 0},
    /* S_ORIGIN_EOL */ {kEol, kNext, kErrBadGenbankLine, 0},
    /* S_BODY */ {kRecSequenceBody, kOk, kOk, 0},
    // FASTA: the header line, then the body up to the next ">".
    /* S_FA_TEXT */ {kLineChar, kSame, kNext, kActTextPut},
    /* S_FA_EOL */ {kEol, kNext, kNext, 0},
    /* S_FA_END */ {kAlways, kNext, kNext, kActDefinitionEnd},
    /* S_FA_BODY */ {kRecSequenceBody, kOk, kOk, 0},
};
constexpr auto kSequenceFile = makeGrammar(kSequenceFileRaw);

// ---- The repeat read ---------------------------------------------------------
enum {
  R_BLANK,
  R_EMPTY,
  R_FASTA,
  R_LOCUS,
  R_VERSION,
  R_FEAT,
  R_REPEAT,
  R_UTR5,
  R_UTR3,
  R_ORIGIN,
  R_BASE,
  R_BASE_REST,
  R_BASE_EOL,
  R_OTHER,
  R_OTHER_LOC,
  R_OTHER_SLASH,
  R_OTHER_QUAL,
  R_OTHER_BLANK,
  R_OTHER_EMPTY,
  R_STORED,
  R_STORED_QUALS,
};
constexpr RawNode kRepeatFileRaw[] = {
    /* R_BLANK */ {kBlank, kSame, kNext, 0},
    /* R_EMPTY */ {kEol, at(R_BLANK), kNext, 0},
    /* R_FASTA */ {kLitGreater, kOk, kNext, 0},
    /* R_LOCUS */ {kGrLocus, kNext, kNext, 0},
    /* R_VERSION */ {kGrVersionFeatures, kNext, kOk, 0},
    /* R_FEAT */ {kBlank, kSame, kNext, 0},
    /* R_REPEAT */ {kLitRepeatRegion, at(R_STORED), kNext, kActNewRepeat},
    // Read like stored features, for their apostrophes, but not kept.
    /* R_UTR5 */ {kLitUtr5, at(R_STORED), kNext, kActSkipFeature},
    /* R_UTR3 */ {kLitUtr3, at(R_STORED), kNext, kActSkipFeature},
    /* R_ORIGIN */ {kLitOrigin, kOk, kNext, 0},
    /* R_BASE */ {kLitBase, kNext, at(R_OTHER), 0},
    /* R_BASE_REST */ {kLineChar, kSame, kNext, 0},
    /* R_BASE_EOL */ {kEol, at(R_FEAT), at(R_FEAT), 0},
    /* R_OTHER */ {kRecWord, kNext, kErrBadGenbankLine, kActSkipFeature},
    /* R_OTHER_LOC */ {kGrLocation, kNext, kErrBadGenbankLine, 0},
    /* R_OTHER_SLASH */ {kLitSlash, kNext, at(R_FEAT), 0},
    /* R_OTHER_QUAL */ {kGrSkippedQualifier, kNext, kErrBadGenbankLine, 0},
    /* R_OTHER_BLANK */ {kBlank, kSame, kNext, 0},
    /* R_OTHER_EMPTY */ {kEol, at(R_OTHER_BLANK), at(R_OTHER_SLASH), 0},
    /* R_STORED */ {kGrLocation, kNext, kErrBadCoordinates, 0},
    /* R_STORED_QUALS */ {kGrStoredQualifiers, at(R_FEAT), at(R_FEAT), 0},
};
constexpr auto kRepeatFile = makeGrammar(kRepeatFileRaw);

// ---- GenBank header lines ------------------------------------------------------
enum { L_BLANK, L_LOCUS, L_EOF, L_SKIP, L_NEXT, L_NAME, L_LENGTH, L_REST, L_EOL };
constexpr RawNode kLocusRaw[] = {
    /* L_BLANK */ {kBlank, kSame, kNext, 0},
    /* L_LOCUS */ {kLitLocus, at(L_NAME), kNext, 0},
    /* L_EOF */ {kLitEof, kErrBadLocus, kNext, 0},
    /* L_SKIP */ {kLineChar, kSame, kNext, 0},
    /* L_NEXT */ {kEol, at(L_BLANK), at(L_BLANK), 0},
    /* L_NAME */ {kRecToken, kNext, kErrBadLocus, kActLocusName},
    /* L_LENGTH */ {kInteger, kNext, kErrBadLocus, 0},
    /* L_REST */ {kLineChar, kSame, kNext, 0},
    /* L_EOL */ {kEol, kOk, kOk, 0},
};
constexpr auto kLocus = makeGrammar(kLocusRaw);

enum {
  V_BLANK,
  V_VERSION,
  V_NO_VERSION,
  V_NO_FEATURES,
  V_EOF,
  V_SKIP,
  V_NEXT,
  V_ID,
  V_GI,
  V_NUMBER,
  V_EOL,
  V_NO_GI,
  F_BLANK,
  F_FEATURES,
  F_ORIGIN,
  F_EOF,
  F_SKIP,
  F_NEXT,
  F_REST,
  F_EOL,
};
constexpr RawNode kVersionFeaturesRaw[] = {
    /* V_BLANK */ {kBlank, kSame, kNext, 0},
    /* V_VERSION */ {kLitVersion, at(V_ID), kNext, 0},
    // Records older than the VERSION line, and records without features:
    // the grammar fails once ORIGIN is read.
    /* V_NO_VERSION */ {kLitFeatures, at(F_REST), kNext, 0},
    /* V_NO_FEATURES */ {kLitOrigin, kFail, kNext, 0},
    /* V_EOF */ {kLitEof, kErrInternal, kNext, 0},
    /* V_SKIP */ {kLineChar, kSame, kNext, 0},
    /* V_NEXT */ {kEol, at(V_BLANK), at(V_BLANK), 0},
    /* V_ID */ {kRecIdentifier, kNext, kErrBadVersion, kActAccession},
    // Records written since 2016 carry no GI number.
    /* V_GI */ {kLitGi, kNext, at(V_NO_GI), 0},
    /* V_NUMBER */ {kInteger, kNext, kErrBadVersion, kActGi},
    /* V_EOL */ {kEol, at(F_BLANK), kErrInternal, 0},
    /* V_NO_GI */ {kEol, kNext, kErrBadVersion, 0},
    /* F_BLANK */ {kBlank, kSame, kNext, 0},
    /* F_FEATURES */ {kLitFeatures, at(F_REST), kNext, 0},
    /* F_ORIGIN */ {kLitOrigin, kFail, kNext, 0},
    /* F_EOF */ {kLitEof, kErrInternal, kNext, 0},
    /* F_SKIP */ {kLineChar, kSame, kNext, 0},
    /* F_NEXT */ {kEol, at(F_BLANK), at(F_BLANK), 0},
    /* F_REST */ {kLineChar, kSame, kNext, 0},
    /* F_EOL */ {kEol, kOk, kOk, 0},
};
constexpr auto kVersionFeatures = makeGrammar(kVersionFeaturesRaw);

// ---- Locations ------------------------------------------------------------------
// complement( list ) or a list, whose items may themselves be join(...),
// order(...) or complement(...): every form GenBank writes, nested or not.
enum { C_BLANK, C_COMPLEMENT, C_INNER, C_CLOSE, C_LIST, C_TBLANK, C_EOL, C_LEAD, C_END };
constexpr RawNode kLocationRaw[] = {
    /* C_BLANK */ {kBlank, kSame, kNext, 0},
    /* C_COMPLEMENT */ {kLitComplement, kNext, at(C_LIST), kActComplement},
    /* C_INNER */ {kGrElementList, kNext, kErrBadCoordinates, 0},
    /* C_CLOSE */ {kLitCloseParen, at(C_TBLANK), kErrBadCoordinates, kActNestClose},
    /* C_LIST */ {kGrElementList, kNext, kFail, 0},
    /* C_TBLANK */ {kBlank, kSame, kNext, 0},
    /* C_EOL */ {kEol, kNext, kErrBadCoordinates, 0},
    /* C_LEAD */ {kBlank, kSame, kNext, 0},
    /* C_END */ {kAlways, kOk, kOk, kActLocationEnd},
};
constexpr auto kLocation = makeGrammar(kLocationRaw);

enum {
  I_COMPLEMENT,
  I_C_LIST,
  I_C_CLOSE,
  I_JOIN,
  I_ORDER,
  I_ELEMENT,
  I_J_LIST,
  I_J_CLOSE,
  I_COMMA,
  I_BREAK,
  I_LEAD,
  I_N_COMPLEMENT,
  I_N_JOIN,
  I_N_ORDER,
  I_N_ELEMENT,
};
constexpr RawNode kElementListRaw[] = {
    /* I_COMPLEMENT */ {kLitComplement, kNext, at(I_JOIN), kActComplement},
    /* I_C_LIST */ {kGrElementList, kNext, kErrBadCoordinates, 0},
    /* I_C_CLOSE */ {kLitCloseParen, at(I_COMMA), kErrBadCoordinates, kActNestClose},
    /* I_JOIN */ {kLitJoin, at(I_J_LIST), kNext, kActNestOpen},
    /* I_ORDER */ {kLitOrder, at(I_J_LIST), kNext, kActNestOpen},
    /* I_ELEMENT */ {kGrElement, at(I_COMMA), kFail, 0},
    /* I_J_LIST */ {kGrElementList, kNext, kErrBadCoordinates, 0},
    /* I_J_CLOSE */ {kLitCloseParen, kNext, kErrBadCoordinates, kActNestClose},
    // After a comma a line break and the next line's blanks may follow.
    /* I_COMMA */ {kLitComma, kNext, kOk, 0},
    /* I_BREAK */ {kEol, kNext, kNext, 0},
    /* I_LEAD */ {kBlank, kSame, kNext, 0},
    /* I_N_COMPLEMENT */ {kLitComplement, at(I_C_LIST), kNext, kActComplement},
    /* I_N_JOIN */ {kLitJoin, at(I_J_LIST), kNext, kActNestOpen},
    /* I_N_ORDER */ {kLitOrder, at(I_J_LIST), kNext, kActNestOpen},
    /* I_N_ELEMENT */ {kGrElement, at(I_COMMA), kErrBadCoordinates, 0},
};
constexpr auto kElementList = makeGrammar(kElementListRaw);

enum {
  E_LESS,
  E_FIRST,
  E_REF,
  E_REF_COLON,
  E_REF_LESS,
  E_REF_FIRST,
  E_REF_DOTS,
  E_REF_GREATER,
  E_REF_SECOND,
  E_DOTS,
  E_GREATER,
  E_SECOND,
  E_CARET,
  E_CARET_SECOND,
  E_SINGLE,
};
constexpr RawNode kElementRaw[] = {
    /* E_LESS */ {kLitLess, kNext, kNext, 0},
    /* E_FIRST */ {kInteger, at(E_DOTS), kNext, kActLocFirst},
    // A range of another entry (accession:range) is read but not kept.
    /* E_REF */ {kRecIdentifier, kNext, kFail, 0},
    /* E_REF_COLON */ {kLitColon, kNext, kErrBadCoordinates, 0},
    /* E_REF_LESS */ {kLitLess, kNext, kNext, 0},
    /* E_REF_FIRST */ {kInteger, kNext, kErrBadCoordinates, 0},
    /* E_REF_DOTS */ {kLitDotDot, kNext, kOk, 0},
    /* E_REF_GREATER */ {kLitGreater, kNext, kNext, 0},
    /* E_REF_SECOND */ {kInteger, kOk, kErrBadCoordinates, 0},
    /* E_DOTS */ {kLitDotDot, kNext, at(E_CARET), 0},
    /* E_GREATER */ {kLitGreater, kNext, kNext, 0},
    /* E_SECOND */ {kInteger, kOk, kErrBadCoordinates, kActLocSecond},
    /* E_CARET */ {kLitCaret, kNext, at(E_SINGLE), 0},
    /* E_CARET_SECOND */ {kInteger, kOk, kErrBadCoordinates, kActLocSecond},
    /* E_SINGLE */ {kAlways, kOk, kOk, kActLocSingle},
};
constexpr auto kElement = makeGrammar(kElementRaw);

// ---- Qualifiers -----------------------------------------------------------------
enum {
  Q_SLASH,
  Q_GENE,
  Q_NOTE,
  Q_RPT,
  Q_PRODUCT,
  Q_PROTEIN,
  Q_CODON,
  Q_CODON_VALUE,
  Q_NUMBER,
  Q_NUMBER_NAME,
  Q_NUMBER_VALUE,
  Q_SKIP,
  Q_QUOTE,
  Q_TEXT,
  Q_CLOSE,
  Q_BREAK,
  Q_LEAD,
  Q_CHAR,
  Q_DOUBLED,
  Q_CLOSED,
  Q_BARE,
  Q_BARE_CHAR,
  Q_BARE_END,
  Q_REST,
  Q_EOL,
  Q_BLANK,
  Q_EMPTY,
};
constexpr RawNode kStoredQualifiersRaw[] = {
    /* Q_SLASH */ {kLitSlash, kNext, kOk, 0},
    /* Q_GENE */ {kLitGeneEq, at(Q_QUOTE), kNext, kActTargetGene},
    /* Q_NOTE */ {kLitNoteEq, at(Q_QUOTE), kNext, kActTargetNote},
    /* Q_RPT */ {kLitRptFamilyEq, at(Q_QUOTE), kNext, kActTargetNote},
    /* Q_PRODUCT */ {kLitProductEq, at(Q_QUOTE), kNext, kActTargetProduct},
    /* Q_PROTEIN */ {kLitProteinIdEq, at(Q_QUOTE), kNext, kActTargetProteinId},
    /* Q_CODON */ {kLitCodonStart, kNext, at(Q_NUMBER), 0},
    /* Q_CODON_VALUE */ {kInteger, at(Q_REST), kErrBadGenbankLine, kActNumber},
    /* Q_NUMBER */ {kLitNumberEq, kNext, at(Q_SKIP), 0},
    /* Q_NUMBER_NAME */ {kRecNameChar, kSame, kNext, 0},
    /* Q_NUMBER_VALUE */ {kInteger, at(Q_REST), kErrBadGenbankLine, kActNumber},
    /* Q_SKIP */ {kGrSkippedQualifier, at(Q_BLANK), kErrBadGenbankLine, 0},
    // A stored text: line breaks and the blanks after them, and runs of
    // blanks, become one blank.
    /* Q_QUOTE */ {kLitQuote, kNext, at(Q_BARE), kActQuoteStart},
    /* Q_TEXT */ {kLitEof, kErrInternal, kNext, 0},
    /* Q_CLOSE */ {kLitQuote, at(Q_DOUBLED), kNext, 0},
    /* Q_BREAK */ {kEol, kNext, at(Q_CHAR), kActTextBlank},
    /* Q_LEAD */ {kBlank, kSame, at(Q_TEXT), 0},
    /* Q_CHAR */ {kLineChar, at(Q_TEXT), at(Q_TEXT), kActTextCharCollapse},
    // Two quotes inside a value stand for one.
    /* Q_DOUBLED */ {kLitQuote, at(Q_TEXT), kNext, kActTextQuote},
    /* Q_CLOSED */ {kAlways, at(Q_REST), at(Q_REST), kActQuoteEnd},
    // A value without quotes (empty in real files): the rest of the line.
    /* Q_BARE */ {kAlways, kNext, kNext, kActQuoteStart},
    /* Q_BARE_CHAR */ {kLineChar, kSame, kNext, kActTextCharCollapse},
    /* Q_BARE_END */ {kAlways, kNext, kNext, kActQuoteEnd},
    /* Q_REST */ {kLineChar, kSame, kNext, 0},
    /* Q_EOL */ {kEol, kNext, kErrBadGenbankLine, 0},
    /* Q_BLANK */ {kBlank, kSame, kNext, 0},
    /* Q_EMPTY */ {kEol, at(Q_BLANK), at(Q_SLASH), 0},
};
constexpr auto kStoredQualifiers = makeGrammar(kStoredQualifiersRaw);

enum {
  K_NAME,
  K_EQUALS,
  K_QUOTE,
  K_PAREN,
  K_LINE,
  K_QTEXT,
  K_QCLOSE,
  K_QCHAR,
  K_QESCAPE,
  K_PVALUE,
  K_TAIL,
  K_EOL,
};
constexpr RawNode kSkippedQualifierRaw[] = {
    /* K_NAME */ {kRecIdentifier, kNext, kErrBadGenbankLine, 0},
    /* K_EQUALS */ {kLitEquals, kNext, at(K_TAIL), 0},
    /* K_QUOTE */ {kLitQuote, at(K_QTEXT), kNext, 0},
    /* K_PAREN */ {kLitOpenParen, at(K_PVALUE), kNext, kActParenOpen},
    /* K_LINE */ {kLineChar, kSame, at(K_TAIL), 0},
    /* K_QTEXT */ {kLitEof, kErrEndOfFile, kNext, 0},
    /* K_QCLOSE */ {kLitQuote, at(K_QESCAPE), kNext, 0},
    /* K_QCHAR */ {kRecAnyChar, at(K_QTEXT), at(K_QTEXT), 0},
    // Two quotes inside a value stand for one.
    /* K_QESCAPE */ {kLitQuote, at(K_QTEXT), at(K_TAIL), 0},
    /* K_PVALUE */ {kGrParenValue, at(K_TAIL), kErrBadGenbankLine, 0},
    /* K_TAIL */ {kBlank, kSame, kNext, 0},
    /* K_EOL */ {kEol, kOk, kErrBadGenbankLine, 0},
};
constexpr auto kSkippedQualifier = makeGrammar(kSkippedQualifierRaw);

enum { P_EOF, P_CLOSE, P_OPEN, P_NESTED, P_QUOTE, P_CHAR, P_QTEXT, P_QCLOSE, P_QCHAR };
constexpr RawNode kParenValueRaw[] = {
    /* P_EOF */ {kLitEof, kErrEndOfFile, kNext, 0},
    /* P_CLOSE */ {kLitCloseParen, kOk, kNext, kActNestClose},
    /* P_OPEN */ {kLitOpenParen, kNext, at(P_QUOTE), kActParenOpen},
    /* P_NESTED */ {kGrParenValue, at(P_EOF), kErrBadGenbankLine, 0},
    /* P_QUOTE */ {kLitQuote, at(P_QTEXT), kNext, 0},
    /* P_CHAR */ {kRecAnyChar, at(P_EOF), at(P_EOF), 0},
    /* P_QTEXT */ {kLitEof, kErrEndOfFile, kNext, 0},
    /* P_QCLOSE */ {kLitQuote, at(P_EOF), kNext, 0},
    /* P_QCHAR */ {kRecAnyChar, at(P_QTEXT), at(P_QTEXT), 0},
};
constexpr auto kParenValue = makeGrammar(kParenValueRaw);

// ---- The typed interval ---------------------------------------------------------
// The interval of the command language, alone on its line.
enum { T_INTERVAL, T_EOL };
constexpr RawNode kTypedIntervalRaw[] = {
    /* T_INTERVAL */ {kGrammarInterval, kNext, kFail, 0},
    /* T_EOL */ {kEol, kOk, kFail, 0},
};
constexpr auto kTypedInterval = makeGrammar(kTypedIntervalRaw);

} // namespace

void ensureSequenceGrammars() {
  static bool done = false;
  if (done)
    return;
  done = true;
  ensureReaderEngine();
  registerGrammar(kGrSequenceFile, kSequenceFile, "sequence file");
  registerGrammar(kGrRepeatFile, kRepeatFile, "repeat annotations");
  registerGrammar(kGrLocus, kLocus, "LOCUS line");
  registerGrammar(kGrVersionFeatures, kVersionFeatures, "VERSION and FEATURES lines");
  registerGrammar(kGrLocation, kLocation, "feature location");
  registerGrammar(kGrElementList, kElementList, "location elements");
  registerGrammar(kGrElement, kElement, "location element");
  registerGrammar(kGrStoredQualifiers, kStoredQualifiers, "stored qualifiers");
  registerGrammar(kGrSkippedQualifier, kSkippedQualifier, "skipped qualifier");
  registerGrammar(kGrParenValue, kParenValue, "parenthesised value");
  registerGrammar(kGrTypedInterval, kTypedInterval, "typed interval");
  registerSequenceActions();
}
