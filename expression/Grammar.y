/* One LALR(1) grammar for the expression syntax and the document format:
   the lexer starts in document mode for a document, and the top rule takes
   either a list of statements or one expression. */
%expect 0
/* Reduce/reduce conflicts are always errors for this deterministic parser;
   stated anyway so that the pin is visible next to the other one. */
%expect-rr 0

%code requires {
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"

class Table;

struct PictureBytes {
  char* bytes;  // Base64 text, OurAllocateMemory
  int32_t count;
};
}

%code {
#include "expression/DocumentStatements.h"
#include "expression/ParsedNodes.h"
#include "expression/ParserState.h"
#include "expression/TreeBuilding.h"

#include <cstdlib>

int yylex();

namespace {

void* ParserStackAllocate(size_t size) { return OurAllocateMemory(size, false); }

}  // namespace

#define YYMALLOC ParserStackAllocate
#define YYFREE OurDisposeMemory
#define YYINITDEPTH 200
#define YYMAXDEPTH kMostParserStackEntries

// Frees every node made so far and ends the parse with result 1.
#define ABORT_PARSE \
  do {              \
    yyerror("");    \
    YYABORT;        \
  } while (0)

#define RECORDED(made)                   \
  do {                                   \
    ExpressionRecord* made_ = (made);    \
    if (!made_) ABORT_PARSE;             \
    yyval.node = yyAdd(made_);           \
  } while (0)

}

%union {
  double number;
  ExpressionRecord* node;
  int32_t letter;
  char* name;
  const char* fontName;  // the lexer's own buffer
  UniChar* string;
  RelocatableBlock* printRecord;
  OurText textBlock;
  Table* table;
  PictureBytes picture;
}

%token HEADER TEXT_ENCODING_UTF8 TEXT_ENCODING_MACOS
%token WINDOW PANE_DIVIDER SIGNIFICANT_DIGITS AXES_2D AXES_2DP GRAPH_PAPER_2D GRAPH_PAPER_2DP
%token AXES_3D AXES_3DP HIDE_AXES DRAW_GRAPH FONT_SIZES BACKGROUND_TYPE BACKGROUND_COLOR STACK_PANES
%token PAGE_MARGINS SLIDER SLIDER_STEPS SLIDER_CONTROL_VALUE SLIDER_MOVING SLIDER_THROTTLE SLIDER_ONE_DIRECTION
%token SLIDER_DIRECTION USE_ANTIALIASING RANGE_T RANGE_U RANGE_V RANGE_R RANGE_THETA RANGE_PHI
%token T_2D R_2D THETA_2D SCALE_2D BOTTOM_LEFT_2D SCALE_2DP BOTTOM_LEFT_2DP T_3D U_3D V_3D R_3D
%token THETA_3D PHI_3D X_3D Y_3D Z_3D X_3DP Y_3DP Z_3DP DEPTH_3D DEPTH_3DP VIEW_3D VIEW_3DP
%token ROTATION_3D ROTATION_3DP AXIS_3D AXIS_3DP SPEED_3D SPEED_3DP VIEW_4D ROTATION_4D AXIS1_4D
%token AXIS2_4D SPEED1_4D SPEED2_4D DEPTH_4D T_4D U_4D V_4D X_4D Y_4D Z_4D W_4D SHOW_AXES_4D
%token SHOW_XY_PLANE_4D COLOR GRAIN OPACITY PLOTTING_MODE XY_TYPE MATH_PANE_SLIDER TABLE_FONT_SIZE
%token TABLE_DISPLAY_ROWS
%token SLIDER_VARIABLE_WORD PARAMETER_WORD EXPR_WORD FONT_NAME_WORD

%token <printRecord> PRINTRECORD 348
%token <picture> PICTURE 349
%token <textBlock> TEXTBLOCK 350
%token <table> TABLEBLOCK 351
%token <letter> LETTER 352
%token <letter> CHARNAME 353
%token <number> DOCNUMBER 354
%token <number> NUMBER 355
%token <name> NAME 356
%token <string> STRING 357
%token VECTOR 358
%token BADCHAR 359
%token <fontName> FONTNAME 360

%left ','
%left '=' '<' '>'
%left '+' '-'
%left '*' '/'
%precedence NEG 361
%right '^'
%precedence '!'
%right '_'

%type <node> expr

%destructor { std::free($$); } <name>
%destructor { DisposeParsedString($$); } <string>
%destructor { OurDisposeMemoryPurgeable($$); } <printRecord>
%destructor { OurTextDispose($$); } <textBlock>
%destructor { DisposeDocumentTable($$); } <table>
%destructor { OurDisposeMemory($$.bytes); } <picture>

%%

input
  : document
  | expression_input
  ;

document
  : statement_list { if (!FinishDocumentRead()) YYABORT; }
  ;

statement_list
  : statement
  | statement_list statement
  ;

statement
  : HEADER DOCNUMBER ';' { ReadDocumentHeader($2); }
  | TEXT_ENCODING_UTF8 ';' { ApplyDocumentTextEncoding(true); }
  | TEXT_ENCODING_MACOS ';' { ApplyDocumentTextEncoding(false); }
  | FONT_NAME_WORD FONTNAME ';' { ApplyDocumentFontName($2); }
  | SLIDER_VARIABLE_WORD LETTER ';' { ApplyDocumentSliderVariable($2); }
  | EXPR_WORD expr ';' {
      ExpressionRecord* tree = FinishParsedTree($2);
      if (!tree) ABORT_PARSE;
      AppendDocumentEquation(tree);
    }
  | PARAMETER_WORD LETTER '=' DOCNUMBER ';' { AppendDocumentParameter($2, $4); }
  | WINDOW DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kWindow, {$2, $3, $4, $5}); }
  | PANE_DIVIDER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kPaneDivider, {$2}); }
  | SIGNIFICANT_DIGITS DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSignificantDigits, {$2}); }
  | AXES_2D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxes2D, {$2}); }
  | AXES_2DP DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxes2Dp, {$2}); }
  | GRAPH_PAPER_2D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kGraphPaper2D, {$2}); }
  | GRAPH_PAPER_2DP DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kGraphPaper2Dp, {$2}); }
  | AXES_3D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxes3D, {$2}); }
  | AXES_3DP DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxes3Dp, {$2}); }
  | HIDE_AXES DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kHideAxes, {$2}); }
  | DRAW_GRAPH DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kDrawGraph, {$2}); }
  | FONT_SIZES DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kFontSizes, {$2, $3, $4}); }
  | FONT_SIZES DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kFontSizes, {$2}); }
  | BACKGROUND_TYPE DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kBackgroundType, {$2}); }
  | BACKGROUND_COLOR DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kBackgroundColor, {$2, $3, $4}); }
  | STACK_PANES DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kStackPanes, {$2}); }
  | PAGE_MARGINS DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kPageMargins, {$2, $3, $4, $5}); }
  | SLIDER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSlider, {$2, $3}); }
  | SLIDER_STEPS DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSliderSteps, {$2}); }
  | SLIDER_CONTROL_VALUE DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSliderControlValue, {$2}); }
  | SLIDER_MOVING DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSliderMoving, {$2}); }
  | SLIDER_THROTTLE DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSliderThrottle, {$2}); }
  | SLIDER_ONE_DIRECTION DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSliderOneDirection, {$2}); }
  | SLIDER_DIRECTION DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSliderDirection, {$2}); }
  | USE_ANTIALIASING DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kUseAntialiasing, {$2}); }
  | RANGE_T DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRangeT, {$2, $3}); }
  | RANGE_U DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRangeU, {$2, $3}); }
  | RANGE_V DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRangeV, {$2, $3}); }
  | RANGE_R DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRangeR, {$2, $3}); }
  | RANGE_THETA DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRangeTheta, {$2, $3}); }
  | RANGE_PHI DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRangePhi, {$2, $3}); }
  | T_2D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kT2D, {$2, $3}); }
  | R_2D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kR2D, {$2, $3}); }
  | THETA_2D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kTheta2D, {$2, $3}); }
  | SCALE_2D DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kScale2D, {$2, $3, $4, $5}); }
  | BOTTOM_LEFT_2D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kBottomLeft2D, {$2, $3}); }
  | SCALE_2DP DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kScale2Dp, {$2, $3, $4, $5}); }
  | BOTTOM_LEFT_2DP DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kBottomLeft2Dp, {$2, $3}); }
  | T_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kT3D, {$2, $3}); }
  | U_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kU3D, {$2, $3}); }
  | V_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kV3D, {$2, $3}); }
  | R_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kR3D, {$2, $3}); }
  | THETA_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kTheta3D, {$2, $3}); }
  | PHI_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kPhi3D, {$2, $3}); }
  | X_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kX3D, {$2, $3}); }
  | Y_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kY3D, {$2, $3}); }
  | Z_3D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kZ3D, {$2, $3}); }
  | X_3DP DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kX3Dp, {$2, $3}); }
  | Y_3DP DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kY3Dp, {$2, $3}); }
  | Z_3DP DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kZ3Dp, {$2, $3}); }
  | DEPTH_3D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kDepth3D, {$2}); }
  | DEPTH_3DP DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kDepth3Dp, {$2}); }
  | VIEW_3D DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kView3D, {$2, $3, $4, $5, $6, $7, $8, $9, $10}); }
  | VIEW_3DP DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kView3Dp, {$2, $3, $4, $5, $6, $7, $8, $9, $10}); }
  | ROTATION_3D DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRotation3D, {$2, $3, $4, $5, $6, $7, $8, $9, $10}); }
  | ROTATION_3DP DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRotation3Dp, {$2, $3, $4, $5, $6, $7, $8, $9, $10}); }
  | AXIS_3D DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxis3D, {$2, $3, $4}); }
  | AXIS_3DP DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxis3Dp, {$2, $3, $4}); }
  | SPEED_3D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSpeed3D, {$2}); }
  | SPEED_3DP DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSpeed3Dp, {$2}); }
  | VIEW_4D DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kView4D, {$2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17}); }
  | ROTATION_4D DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kRotation4D, {$2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17}); }
  | AXIS1_4D DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxis14D, {$2, $3, $4}); }
  | AXIS2_4D DOCNUMBER DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kAxis24D, {$2, $3, $4}); }
  | SPEED1_4D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSpeed14D, {$2}); }
  | SPEED2_4D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kSpeed24D, {$2}); }
  | DEPTH_4D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kDepth4D, {$2}); }
  | T_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kT4D, {$2, $3}); }
  | U_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kU4D, {$2, $3}); }
  | V_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kV4D, {$2, $3}); }
  | X_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kX4D, {$2, $3}); }
  | Y_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kY4D, {$2, $3}); }
  | Z_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kZ4D, {$2, $3}); }
  | W_4D DOCNUMBER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kW4D, {$2, $3}); }
  | SHOW_AXES_4D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kShowAxes4D, {$2}); }
  | SHOW_XY_PLANE_4D DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kShowXyPlane4D, {$2}); }
  | COLOR DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kColor, {$2}); }
  | GRAIN DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kGrain, {$2}); }
  | OPACITY DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kOpacity, {$2}); }
  | PLOTTING_MODE DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kPlottingMode, {$2}); }
  | XY_TYPE DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kXyType, {$2}); }
  | MATH_PANE_SLIDER DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kMathPaneSlider, {$2}); }
  | TABLE_FONT_SIZE DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kTableFontSize, {$2}); }
  | TABLE_DISPLAY_ROWS DOCNUMBER ';' { ApplyDocumentNumbers(DocumentSetting::kTableDisplayRows, {$2}); }
  | TEXTBLOCK ';' { AppendDocumentTextBlock($1); }
  | TABLEBLOCK ';' { AppendDocumentTableBlock($1); }
  | PRINTRECORD ';' { ApplyDocumentPrintRecord($1); }
  | PICTURE ';' { ApplyDocumentTexture($1.bytes, $1.count); }
  | PICTURE DOCNUMBER DOCNUMBER ';' { AppendDocumentPicture($1.bytes, $1.count, false, $2, $3); }
  | PICTURE DOCNUMBER DOCNUMBER DOCNUMBER ';' { AppendDocumentPicture($1.bytes, $1.count, true, $2, $3); }
  | error ';' { yyerrok; yyclearin; }
  | BADCHAR ';'
  ;

expression_input
  : expr {
      gParsedExpr = FinishParsedTree($1);
      if (!gParsedExpr) ABORT_PARSE;
    }
  ;

expr
  : expr '+' expr { RECORDED(ParsedBinary(kOpPlus, $1, $3)); }
  | expr '-' expr { RECORDED(ParsedDifference($1, $3)); }
  | expr '*' expr { RECORDED(ParsedBinary(kOpTimes, $1, $3)); }
  | expr '/' expr { RECORDED(ParsedBinary(kOpOver, $1, $3)); }
  | expr '^' expr { RECORDED(ParsedBinary(kOpPower, $1, $3)); }
  | expr '_' expr { RECORDED(ParsedSubscript($1, $3)); }
  | expr '=' expr { RECORDED(ParsedBinary(kOpEquals, $1, $3)); }
  | expr '>' expr { RECORDED(ParsedBinary(kOpGreater, $1, $3)); }
  | expr '<' expr { RECORDED(ParsedBinary(kOpLess, $1, $3)); }
  | expr ',' expr { RECORDED(ParsedBinary(kOpComma, $1, $3)); }
  | expr '!' { RECORDED(ParsedUnary(kOpFact, $1)); }
  | '-' expr %prec NEG { RECORDED(ParsedUnary(kOpMinus, $2)); }
  | '|' expr '|' { RECORDED(ParsedUnary(kOpAbs, $2)); }
  | '(' expr ')' { RECORDED(ParsedUnary(kOpId, $2)); }
  | '[' expr ']' { RECORDED(ParsedUnary(kOpBracket, $2)); }
  | '?' { RECORDED(NewPrompt()); }
  | NUMBER { RECORDED(Number($1)); }
  | CHARNAME { RECORDED(Atomic($1)); }
  | NAME '(' expr ')' {
      $$ = ParsedNamedApplication($1, $3);
      if (!$$) ABORT_PARSE;
    }
  | VECTOR '(' expr ')' {
      $$ = ParsedColumnVector($3);
      if (!$$) ABORT_PARSE;
    }
  | NAME { RECORDED(ParsedNameAtom($1)); }
  | STRING { RECORDED(ParsedString($1)); }
  | BADCHAR { ABORT_PARSE; }
  | error { ABORT_PARSE; }
  ;

%%

extern const int32_t gParserStateCount = YYNSTATES;
extern const int32_t gParserAcceptingState = YYFINAL;
