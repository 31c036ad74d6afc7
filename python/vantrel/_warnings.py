"""The warnings Vantrel gives from Python, as classes that scripts can filter or turn into errors
(`warnings.simplefilter("error", vantrel.PrecisionWarning)`)."""


class PrecisionWarning(UserWarning):
    """The exact sums lose digits to the data's mean: a number returned may be wrong beyond the
    digits the warning names."""


class CropWarning(UserWarning):
    """Cells without a value were cropped away (`crop_valid=True`): the result describes the
    rectangle the warning names, not the whole data."""


class FileNoteWarning(UserWarning):
    """What a reader says of a file it read: cells that are not square on the ground, a checksum
    that does not match, units it cannot compare. The values were read; the note says what to
    keep in mind about them."""
