// placeholder until the stand-in library lands
