package Lingua::StopWords::DE;

sub _stopwords {
    return qw(
            am auf bald das dem den der die durch ein eine einen im ist
            mit und wer zum
    );
}

1;
