"""The warnings Vantrel gives from Python, as classes that scripts can filter or turn into errors
(`warnings.simplefilter("error", vantrel.PrecisionWarning)`)."""


class PrecisionWarning(UserWarning):
    """The exact sums lose digits to the data's mean: a number returned may be wrong beyond the
    digits the warning names."""


class CropWarning(UserWarning):
    """Cells without a value were cropped away (`crop_valid=True`): the result describes the
    rectangle the warning names, not the whole data."""
