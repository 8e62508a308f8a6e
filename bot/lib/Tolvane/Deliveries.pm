package Tolvane::Deliveries;
# The record of messages already delivered, kept in delivered.log in the
# data folder so that a message left in Deliver Messages reaches its buddy
# once, across any number of runs. One line per delivery:
#     2024-05-01 09:06:02<TAB>bob<TAB>5d41402abc4b2a76b9719d911017c592
# the buddy's name as compared (no case, no blanks) and the MD5 of the
# message: a message changed in the dialog afterwards is a new message and
# is delivered again. (The name cannot be any buddy's message file: those
# all end in ".txt".)
use strict;
use warnings;
use File::Spec;
use Digest::MD5 qw(md5_hex);
use POSIX qw(strftime);
use Tolvane::Files qw(read_file split_lines append_file);
use Tolvane::Config ();

sub new {
    my ($class, $dir) = @_;
    my $self = bless { file => File::Spec->catfile($dir, 'delivered.log'), done => {}, notes => [] },
      $class;
    my ($data, $err, $missing) = read_file($self->{file});
    if (defined $data) {
        for my $line (split_lines($data)) {
            my @f = split /\t/, $line;
            if (@f == 3 && $f[2] =~ /\A[0-9a-f]{32}\z/) {
                $self->{done}{"$f[1]\t$f[2]"} = 1;
            } elsif ($line ne '') {
                push @{ $self->{notes} }, 'delivered.log: a line is not a delivery and is ignored';
            }
        }
    } elsif (!$missing) {
        # Without the record every message would go out again: say so.
        push @{ $self->{notes} }, "Cannot read delivered.log ($err): messages to deliver are held back";
        $self->{unreadable} = 1;
    }
    return $self;
}

sub notes { @{ $_[0]{notes} } }

sub _key { Tolvane::Config::norm($_[0]) . "\t" . md5_hex($_[1]) }

# True when this message still has to go to this buddy.
sub pending {
    my ($self, $buddy, $text) = @_;
    return 0 if $self->{unreadable};
    return !$self->{done}{ _key($buddy, $text) };
}

# Records a delivery. Returns undef, or the reason the record could not be
# written (the delivery still counts as done for this run).
sub record {
    my ($self, $time, $buddy, $text) = @_;
    my $key = _key($buddy, $text);
    $self->{done}{$key} = 1;
    return append_file($self->{file}, strftime('%Y-%m-%d %H:%M:%S', localtime $time) . "\t$key\r\n");
}

1;
