package TestFolder;
# A profile folder of its own for each test: <profile>/My Documents/Tolvane
# is the data folder, <profile>/Tolvane the saved-messages folder; and the
# bot run in it against a conversation script.
use strict;
use warnings;
use File::Temp qw(tempdir);
use File::Path qw(make_path);
use File::Spec;
use FindBin ();
use lib "$FindBin::Bin/../lib";
use Tolvane::Bot;
use Tolvane::Transport::Scripted;

our $BOT_DIR = File::Spec->rel2abs("$FindBin::Bin/..");

sub new {
    my ($class) = @_;
    my $profile = tempdir('tolvane-bot-XXXXXX', TMPDIR => 1, CLEANUP => 1);
    my $data = File::Spec->catdir($profile, 'My Documents', 'Tolvane');
    make_path($data);
    return bless { profile => $profile, data => $data,
        saved => File::Spec->catdir($profile, 'Tolvane') }, $class;
}

sub data  { $_[0]{data} }
sub saved { $_[0]{saved} }
sub path  { File::Spec->catfile($_[0]{data}, $_[1]) }

# Writes a file of the data folder byte for byte.
sub put {
    my ($self, $name, $content) = @_;
    open my $fh, '>:raw', $self->path($name) or die "$name: $!";
    print {$fh} $content;
    close $fh;
}

# The content of a file of the data folder, or undef when it is missing.
sub get {
    my ($self, $name) = @_;
    open my $fh, '<:raw', $self->path($name) or return undef;
    local $/;
    my $data = <$fh>;
    return defined $data ? $data : '';
}

sub first_line {
    my ($self, $name) = @_;
    my $data = $self->get($name);
    return undef unless defined $data;
    my ($line) = $data =~ /\A([^\n]*)/;
    $line =~ s/\r\z//;
    return $line;
}

# settings.txt as the Settings dialog writes it; the names and flags can be
# given, the rest are defaults.
sub settings {
    my ($self, %s) = @_;
    my %v = (screen_name => 'ownerbot', password => 'secret', ai_name => 'Kavri', owner => 'Joe',
        require_trusted => 0, save_away => 0, start_with_windows => 0, auto_connect => 0, %s);
    my @lines = (@v{qw(screen_name password ai_name owner)},
        map { $v{$_} ? 1 : 0 } qw(require_trusted save_away start_with_windows auto_connect));
    push @lines, exists $v{away_text} ? $v{away_text} : 'AWAY TEXT';
    push @lines, exists $v{greeting} ? $v{greeting} : 'GREETING';
    $self->put('settings.txt', join '', map { "$_\r\n" } @lines);
}

# Runs the bot to the end of a script. Returns the bot and its transport.
sub run {
    my ($self, $script, %opts) = @_;
    my $transport = Tolvane::Transport::Scripted->new(script => $script, end => 'quit');
    my $bot = Tolvane::Bot->new(dir => $self->{data}, transport => $transport);
    $bot->run;
    return ($bot, $transport);
}

# The texts sent to one buddy (or to anyone), in order.
sub texts_to {
    my ($transport, $buddy) = @_;
    return map { $_->{text} } grep { !defined $buddy || $_->{to} eq $buddy } $transport->sent;
}

sub files_in {
    my ($dir) = @_;
    opendir my $dh, $dir or return ();
    return sort grep { !/\A\.\.?\z/ } readdir $dh;
}

1;
