# Stands for a Perl without Net::OSCAR: loading it fails as a missing
# package does.
die "Can't locate Net/OSCAR.pm in \@INC (you may need to install the Net::OSCAR module)\n";
