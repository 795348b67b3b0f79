// The translation unit that builds the precompiled Qt Core headers every target reuses.
