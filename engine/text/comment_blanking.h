#pragma once

// Comments in a text matrix as numpy.loadtxt reads them: from a '#' to the end of its line,
// wherever the '#' stands, so that a line holding only a comment is a blank line and a value
// followed by "# note" is the value alone. The loader's passes see the comment's bytes as blanks,
// which keeps their own reading of lines and values unchanged.
class CommentBlanker {
  public:
    // Turns every byte of a comment in [begin, end) into a blank; the line feed that ends a
    // comment stays. Blocks are fed in file order: a comment may go on from one to the next.
    // Costs one memchr over a block without a '#'.
    void blank(char* begin, char* end);
    // Back to the file's start, outside any comment.
    void reset() { inComment_ = false; }

  private:
    bool inComment_ = false;
};
