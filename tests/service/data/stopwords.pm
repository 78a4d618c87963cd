package Lingua::StopWords::DE;

sub _stopwords {
    return qw(
            am auf bald das dem den der die durch ein eine einen im ist
            mit und während wer zum
    );
}

1;
