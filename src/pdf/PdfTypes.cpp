// placeholder until the writer lands
